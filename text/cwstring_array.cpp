#include "text/cwstring_array.h"

#include <cstring>
#include <new>
#include <utility>

#include "text/allocation.h"

// Blocks are raw storage of exactly itemCount elements, so that growing can
// hand each kept element's buffer over to the new block without allocating
// and freeing an empty buffer for every element on every append.

namespace {

// Owns a new block while it is being filled: on an allocation failure part
// way through, the elements built so far are destroyed and the block freed,
// and the array being changed is left as it was.
class BlockBuilder {
public:
    BlockBuilder(CWString* block, uint32_t first) : block_(block), first_(first), next_(first) {}
    BlockBuilder(const BlockBuilder&) = delete;
    BlockBuilder& operator=(const BlockBuilder&) = delete;
    ~BlockBuilder() {
        if (block_ == nullptr) return;
        for (uint32_t i = first_; i < next_; ++i) block_[i].~CWString();
        ::operator delete(block_);
    }

    // The element at the next index; its construction may throw.
    void* slot() { return &block_[next_]; }
    void built() { ++next_; }
    CWString* release() {
        CWString* block = block_;
        block_ = nullptr;
        return block;
    }

private:
    CWString* block_;
    uint32_t first_;
    uint32_t next_;
};

// Calls visit(start, count) for every piece of text between dots.
template <typename Visit>
void forEachPiece(const CWString& text, Visit visit) {
    uint32_t start = 0;
    uint32_t i = 0;
    while (i < text.length) {
        const char16_t unit = text.data[i];
        // A 0 unit ends the search for dots: the rest, 0 unit included,
        // becomes the last piece.
        if (unit == 0) break;
        if (unit == u'.') {
            visit(start, i - start);
            start = i + 1;
        }
        ++i;
    }
    // Nothing after a final dot, and nothing for an empty text.
    if (start != text.length) visit(start, text.length - start);
}

}  // namespace

CWString* CWStringArray::newBlock(uint64_t count) {
    return static_cast<CWString*>(allocateBlock(count, sizeof(CWString)));
}

void CWStringArray::releaseBlock(CWString* block, uint32_t count) noexcept {
    if (block == nullptr) return;
    for (uint32_t i = 0; i < count; ++i) block[i].~CWString();
    ::operator delete(block);
}

CWStringArray::CWStringArray() : itemCount(0), items(nullptr) {}

CWStringArray::CWStringArray(const CWStringArray& other) : itemCount(0), items(nullptr) {
    *this = other;
}

CWStringArray& CWStringArray::operator=(const CWStringArray& other) {
    if (this == &other) return *this;
    BlockBuilder builder(newBlock(other.itemCount), 0);
    for (uint32_t i = 0; i < other.itemCount; ++i) {
        new (builder.slot()) CWString(other.items[i]);
        builder.built();
    }
    releaseBlock(items, itemCount);
    items = builder.release();
    itemCount = other.itemCount;
    return *this;
}

CWStringArray::~CWStringArray() {
    releaseBlock(items, itemCount);
    items = nullptr;
}

void CWStringArray::setSize(uint32_t count) {
    const uint32_t keep = count < itemCount ? count : itemCount;
    BlockBuilder builder(newBlock(count), keep);
    for (uint32_t i = keep; i < count; ++i) {
        new (builder.slot()) CWString();
        builder.built();
    }
    CWString* block = builder.release();
    // Hand the kept buffers over; the old elements are not destroyed, as
    // their buffers now belong to the new block.
    for (uint32_t i = 0; i < keep; ++i) {
        new (&block[i]) CWString(items[i].data, items[i].length, CWString::Adopt{});
    }
    for (uint32_t i = keep; i < itemCount; ++i) items[i].~CWString();
    ::operator delete(items);
    items = block;
    itemCount = count;
}

void CWStringArray::append(const CWString& item) {
    if (itemCount == UINT32_MAX) failAllocation();
    const uint32_t last = itemCount;
    BlockBuilder builder(newBlock(uint64_t{last} + 1), last);
    // Copy the argument before any element moves: it may be one of ours.
    new (builder.slot()) CWString(item);
    builder.built();
    CWString* block = builder.release();
    for (uint32_t i = 0; i < last; ++i) {
        new (&block[i]) CWString(items[i].data, items[i].length, CWString::Adopt{});
    }
    ::operator delete(items);
    items = block;
    itemCount = last + 1;
}

CWStringArray CWStringArray::split(const CWString& text) {
    uint32_t count = 0;
    forEachPiece(text, [&count](uint32_t, uint32_t) { ++count; });
    CWStringArray result;
    if (count == 0) return result;
    BlockBuilder builder(newBlock(count), 0);
    forEachPiece(text, [&builder, &text](uint32_t start, uint32_t length) {
        new (builder.slot()) CWString(text.mid(start, length));
        builder.built();
    });
    result.items = builder.release();
    result.itemCount = count;
    return result;
}

CWString CWStringArray::join() const {
    uint64_t total = 0;
    for (uint32_t i = 0; i < itemCount; ++i) total += items[i].length;
    if (itemCount > 1) total += itemCount - 1;
    if (total > UINT32_MAX) failAllocation();
    CWString result(static_cast<uint32_t>(total));
    char16_t* out = result.data;
    for (uint32_t i = 0; i < itemCount; ++i) {
        if (i != 0) *out++ = u'.';
        if (items[i].length != 0) std::memcpy(out, items[i].data, items[i].length * sizeof(char16_t));
        out += items[i].length;
    }
    return result;
}
