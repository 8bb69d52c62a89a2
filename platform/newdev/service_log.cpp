#include "platform/newdev/service_log.h"

#include <cstdio>

#include "text/utf8.h"

namespace standin {
namespace {

std::string escaped(const std::u16string& text) {
    std::string result;
    for (char c : toUtf8(text)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            result += hex;
        } else {
            result += c;
        }
    }
    return result;
}

}  // namespace

std::string formatServiceLogLine(const ServiceLogLine& line) {
    std::string text = escaped(line.id) + " | " + (line.instance.empty() ? "-" : escaped(line.instance)) + " | " +
                       line.result;
    if (!line.detail.empty()) text += " | " + line.detail;
    return text;
}

void appendServiceLog(const std::string& path, const ServiceLogLine& line) {
    if (path.empty()) return;
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) return;
    const std::string text = formatServiceLogLine(line) + "\n";
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

}  // namespace standin
