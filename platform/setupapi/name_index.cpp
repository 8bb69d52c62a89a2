#include "platform/setupapi/name_index.h"

namespace infengine {
namespace {

inline char16_t fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

}  // namespace

uint32_t NameIndex::hashOf(std::u16string_view name) {
    uint32_t h = 2166136261u;  // FNV-1a over the folded code units
    for (char16_t c : name) {
        c = fold(c);
        h = (h ^ (c & 0xFF)) * 16777619u;
        h = (h ^ (c >> 8)) * 16777619u;
    }
    return h;
}

bool NameIndex::matches(const Entry& entry, std::u16string_view name) const {
    if (entry.length != name.size()) return false;
    const char16_t* stored = names_.data() + entry.offset;
    for (size_t i = 0; i < name.size(); ++i) {
        if (stored[i] != fold(name[i])) return false;
    }
    return true;
}

bool NameIndex::find(std::u16string_view name, uint32_t* value) const {
    if (slots_.empty()) return false;
    uint32_t hash = hashOf(name);
    size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        uint32_t slot = slots_[i];
        if (slot == 0) return false;
        const Entry& entry = entries_[slot - 1];
        if (entry.hash == hash && matches(entry, name)) {
            *value = entry.value;
            return true;
        }
    }
}

void NameIndex::grow() {
    std::vector<uint32_t> slots(slots_.empty() ? 64 : slots_.size() * 2, 0);
    size_t mask = slots.size() - 1;
    for (uint32_t e = 0; e < entries_.size(); ++e) {
        size_t i = entries_[e].hash & mask;
        while (slots[i] != 0) i = (i + 1) & mask;
        slots[i] = e + 1;
    }
    slots_.swap(slots);
}

uint32_t NameIndex::insert(std::u16string_view name, uint32_t value) {
    if ((entries_.size() + 1) * 2 > slots_.size()) grow();
    uint32_t hash = hashOf(name);
    size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    for (; slots_[i] != 0; i = (i + 1) & mask) {
        const Entry& entry = entries_[slots_[i] - 1];
        if (entry.hash == hash && matches(entry, name)) return entry.value;
    }
    entries_.push_back(Entry{uint32_t(names_.size()), uint32_t(name.size()), value, hash});
    for (char16_t c : name) names_.push_back(fold(c));
    slots_[i] = uint32_t(entries_.size());
    return value;
}

size_t NameIndex::memoryBytes() const {
    return names_.capacity() * sizeof(char16_t) + entries_.capacity() * sizeof(Entry) +
           slots_.capacity() * sizeof(uint32_t);
}

}  // namespace infengine
