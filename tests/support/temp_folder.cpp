#include "tests/support/temp_folder.hpp"

#include <gtest/gtest.h>

#include <random>

#include "platform/files.hpp"

TempFolder::TempFolder(const std::string& prefix) {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::write(const GbkText& name, std::string_view bytes) const {
    if (!files::writeAtomically(files::join(gbk(), name), bytes)) {
        ADD_FAILURE() << "cannot write " << name;
    }
}
