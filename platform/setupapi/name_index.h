// A hash index from names to numbers that ignores the case of ASCII letters,
// for section names and [Strings] keys. Open addressing over one array and
// the folded names kept in one buffer: a lookup allocates nothing, and
// building it for 200,000 names costs a few allocations.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace infengine {

class NameIndex {
public:
    // Adds name -> value unless the name is there already (the first one
    // stays). Returns the value stored for the name.
    uint32_t insert(std::u16string_view name, uint32_t value);
    bool find(std::u16string_view name, uint32_t* value) const;
    size_t size() const { return entries_.size(); }
    size_t memoryBytes() const;

private:
    struct Entry {
        uint32_t offset;
        uint32_t length;
        uint32_t value;
        uint32_t hash;
    };
    static uint32_t hashOf(std::u16string_view name);
    bool matches(const Entry& entry, std::u16string_view name) const;
    void grow();

    std::u16string names_;         // folded names, back to back
    std::vector<Entry> entries_;
    std::vector<uint32_t> slots_;  // entry index + 1; 0 is free
};

}  // namespace infengine
