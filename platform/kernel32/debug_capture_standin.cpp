// DebugOutputCapture over the stand-ins: OutputDebugStringW hands every
// string to the live capture objects. The class carries no members, so
// each object's lines are kept here, keyed by the object.
#include "platform/debug_capture.h"

#include <algorithm>
#include <memory>

#include "platform/kernel32/debug_sink.h"

namespace {

struct Capture {
    const DebugOutputCapture* owner;
    std::vector<std::u16string> lines;
};

std::vector<std::unique_ptr<Capture>>& captures() {
    static std::vector<std::unique_ptr<Capture>> list;
    return list;
}

Capture& find(const DebugOutputCapture* owner) {
    for (auto& capture : captures())
        if (capture->owner == owner) return *capture;
    // Unreachable while the object lives: the constructor registered it.
    static Capture none{nullptr, {}};
    return none;
}

}  // namespace

namespace standin {
void deliverDebugOutput(const std::u16string& text) {
    for (auto& capture : captures()) capture->lines.push_back(text);
}
}  // namespace standin

DebugOutputCapture::DebugOutputCapture() {
    captures().push_back(std::unique_ptr<Capture>(new Capture{this, {}}));
}

DebugOutputCapture::~DebugOutputCapture() {
    auto& list = captures();
    list.erase(std::remove_if(list.begin(), list.end(), [this](const std::unique_ptr<Capture>& c) { return c->owner == this; }),
               list.end());
}

const std::vector<std::u16string>& DebugOutputCapture::lines() const { return find(this).lines; }

void DebugOutputCapture::clear() { find(this).lines.clear(); }
