#include "app/update_settings.hpp"

#include "app/cantorel_ini.hpp"
#include "app/network_settings.hpp"

UpdateSettings readUpdateSettings(std::string_view content) {
    UpdateSettings settings;
    settings.noticeAddress =
        gbk::trimBlanks(cantorel_ini::value(content, "network", "update_notice", ""));
    settings.infoAddress =
        gbk::trimBlanks(cantorel_ini::value(content, "network", "update_info", ""));
    settings.updateKey = gbk::trimBlanks(cantorel_ini::value(content, "network", "update_key", ""));
    settings.limits = readNetworkSettings(content).limits;
    return settings;
}

UpdateSettings loadUpdateSettings(const GbkText& folder) {
    return readUpdateSettings(cantorel_ini::read(folder));
}
