#pragma once
// The local lyric site (tools/lyric-site) that the test command starts before the Windows
// tests; its address arrives in CANTOREL_LYRIC_SITE.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

/// The site's address, http://127.0.0.1:PORT. Empty, with the test failed, when it is not set.
inline std::string lyricSiteAddress() {
    const char* site = std::getenv("CANTOREL_LYRIC_SITE");
    if (site && *site) return site;
    ADD_FAILURE() << "CANTOREL_LYRIC_SITE is not set: run these tests through scripts/test, which "
                     "starts tools/lyric-site and exports its address";
    return {};
}
