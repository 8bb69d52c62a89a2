// Reads of a parsed INF: sections, keys and fields with %strkey%
// substitution, the choice of the Strings section, the signature check.
#include "platform/setupapi/inf_engine.h"

namespace infengine {

bool isInfSpace(char16_t c) {
    if (c <= 0x20) return c == 0x20 || (c >= 0x09 && c <= 0x0D);
    if (c < 0x85) return false;
    return c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::u16string foldAscii(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
    }
    return out;
}

namespace {

bool equalsFolded(std::u16string_view text, std::u16string_view lower) {
    if (text.size() != lower.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
        if (c != lower[i]) return false;
    }
    return true;
}

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

// "strings.<1 to 4 hex digits>" (already lower-cased) -> language id.
bool stringsLanguage(const std::u16string& folded, uint16_t* langId) {
    static const std::u16string prefix = u"strings.";
    if (folded.size() <= prefix.size() || folded.size() > prefix.size() + 4) return false;
    if (folded.compare(0, prefix.size(), prefix) != 0) return false;
    uint16_t value = 0;
    for (size_t i = prefix.size(); i < folded.size(); ++i) {
        int digit = hexValue(folded[i]);
        if (digit < 0) return false;
        value = uint16_t(value * 16 + digit);
    }
    *langId = value;
    return true;
}

void appendCut(std::u16string* out, size_t start, std::u16string_view piece) {
    size_t room = start + kMaxFieldChars - out->size();
    if (piece.size() <= room) {
        out->append(piece.data(), piece.size());
        return;
    }
    size_t n = room;
    if (n > 0 && piece[n - 1] >= 0xD800 && piece[n - 1] <= 0xDBFF) --n;
    out->append(piece.data(), n);
}

}  // namespace

std::u16string_view Inf::sectionName(uint32_t section) const {
    return section < sections_.size() ? text(sections_[section].name) : std::u16string_view();
}

bool Inf::findSection(std::u16string_view name, uint32_t* section) const {
    return sectionIndex_.find(name, section);
}

uint32_t Inf::lineCount(uint32_t section) const {
    return section < sections_.size() ? uint32_t(sections_[section].lines.size()) : 0;
}

const Inf::Line* Inf::lineAt(uint32_t section, uint32_t line) const {
    if (section >= sections_.size() || line >= sections_[section].lines.size()) return nullptr;
    return &lines_[sections_[section].lines[line]];
}

uint32_t Inf::valueCount(uint32_t section, uint32_t line) const {
    const Line* l = lineAt(section, line);
    return l ? l->count : 0;
}

bool Inf::fieldSpan(uint32_t section, uint32_t line, uint32_t index, Span* span) const {
    const Line* l = lineAt(section, line);
    if (l == nullptr) return false;
    uint32_t at;
    if (index == 0) {
        if (l->key == kNoKey) return false;
        at = l->key;
    } else {
        if (index > l->count) return false;
        at = l->first + (index - 1);
    }
    *span = fields_[at];
    return true;
}

bool Inf::field(uint32_t section, uint32_t line, uint32_t index, std::u16string* out) const {
    Span span;
    if (!fieldSpan(section, line, index, &span)) return false;
    out->clear();
    substitute(text(span), out);
    return true;
}

bool Inf::rawField(uint32_t section, uint32_t line, uint32_t index, std::u16string* out) const {
    Span span;
    if (!fieldSpan(section, line, index, &span)) return false;
    out->assign(text(span));
    return true;
}

uint32_t Inf::sourceLine(uint32_t section, uint32_t line) const {
    const Line* l = lineAt(section, line);
    return l ? l->sourceLine : 0;
}

uint32_t Inf::sectionSourceLine(uint32_t section) const {
    return section < sections_.size() ? sections_[section].sourceLine : 0;
}

void Inf::lineText(uint32_t section, uint32_t line, std::u16string* out) const {
    out->clear();
    const Line* l = lineAt(section, line);
    if (l == nullptr) return;
    for (uint32_t i = 0; i < l->count; ++i) {
        if (i > 0) out->push_back(u',');
        substitute(text(fields_[l->first + i]), out);
    }
}

bool Inf::findKey(uint32_t section, std::u16string_view key, uint32_t* line) const {
    std::u16string wanted = foldAscii(key), have;
    for (uint32_t i = 0; i < lineCount(section); ++i) {
        if (field(section, i, 0, &have) && equalsFolded(have, wanted)) {
            *line = i;
            return true;
        }
    }
    return false;
}

void Inf::substitute(std::u16string_view raw, std::u16string* out) const {
    size_t start = out->size();
    size_t n = raw.size();
    if (raw.find(u'%') == std::u16string_view::npos) {
        appendCut(out, start, raw);  // the common case: nothing to replace
        return;
    }
    size_t i = 0;
    while (i < n && out->size() - start < kMaxFieldChars) {
        size_t pct = raw.find(u'%', i);
        if (pct == std::u16string_view::npos) {
            appendCut(out, start, raw.substr(i));
            break;
        }
        appendCut(out, start, raw.substr(i, pct - i));
        if (pct + 1 < n && raw[pct + 1] == u'%') {
            appendCut(out, start, u"%");
            i = pct + 2;
            continue;
        }
        size_t close = raw.find(u'%', pct + 1);
        if (close == std::u16string_view::npos) {
            appendCut(out, start, raw.substr(pct));
            break;
        }
        std::u16string_view name = raw.substr(pct + 1, close - pct - 1);
        const std::u16string* dirid = findDirid(name);
        uint32_t value;
        i = close + 1;
        if (dirid != nullptr) {
            appendCut(out, start, *dirid);
            // A folder that ends in a backslash (%24%, the drive's root) takes
            // the backslashes after the token as its own: Windows reads both
            // %24%\fred and %24%\\fred as C:\fred.
            if (!dirid->empty() && dirid->back() == u'\\') {
                while (i < n && raw[i] == u'\\') ++i;
            }
        } else if (strings_.find(name, &value)) {
            if (value != kNoValue) appendCut(out, start, text(fields_[value]));
        } else {
            appendCut(out, start, raw.substr(pct, close - pct + 1));
        }
    }
}

const std::u16string* Inf::findDirid(std::u16string_view name) const {
    if (dirids_.empty() || name.empty() || name.size() > 9) return nullptr;
    uint32_t id = 0;
    for (char16_t c : name) {
        if (c < u'0' || c > u'9') return nullptr;
        id = id * 10 + (c - u'0');
    }
    auto it = dirids_.find(id);
    return it == dirids_.end() ? nullptr : &it->second;
}

std::vector<std::pair<uint32_t, std::u16string>> standardDirids(const std::u16string& windowsDirectory,
                                                                  const std::u16string& sourceDirectory,
                                                                  bool windows64) {
    const std::u16string& w = windowsDirectory;
    std::u16string drive = w.size() >= 2 && w[1] == u':' ? w.substr(0, 2) : u"C:";
    std::u16string programs = drive + u"\\Program Files";
    std::u16string programsX86 = windows64 ? programs + u" (x86)" : programs;
    return {
        {1, sourceDirectory},
        {10, w},
        {11, w + u"\\system32"},
        {12, w + u"\\system32\\drivers"},
        {17, w + u"\\inf"},
        {18, w + u"\\help"},
        {20, w + u"\\fonts"},
        {21, w + u"\\system32\\viewers"},
        {23, w + u"\\system32\\spool\\drivers\\color"},
        {24, drive + u"\\"},
        {25, w},
        {30, drive + u"\\"},
        {50, w + u"\\system"},
        {51, w + u"\\system32\\spool"},
        {52, w + u"\\system32\\spool\\drivers"},
        {16422, programs},
        {16426, programsX86},
        {16427, programs + u"\\Common Files"},
        {16428, programsX86 + u"\\Common Files"},
    };
}

void Inf::selectStrings(uint16_t langId) {
    const uint32_t kNone = 0xFFFFFFFFu;
    uint32_t plain = kNone, exact = kNone, neutral = kNone, primary = kNone;
    for (uint32_t s = 0; s < sections_.size(); ++s) {
        std::u16string folded = foldAscii(text(sections_[s].name));
        uint16_t lang;
        if (folded == u"strings") {
            plain = s;
        } else if (stringsLanguage(folded, &lang)) {
            if (lang == langId && exact == kNone) exact = s;
            if ((lang & 0x3FF) == (langId & 0x3FF)) {
                if ((lang >> 10) == 0 && neutral == kNone) neutral = s;
                if (primary == kNone) primary = s;
            }
        }
    }
    uint32_t chosen = exact != kNone ? exact : neutral != kNone ? neutral : primary != kNone ? primary : plain;
    if (chosen == kNone) return;
    for (uint32_t index : sections_[chosen].lines) {
        const Line& line = lines_[index];
        if (line.key == kNoKey) continue;
        strings_.insert(text(fields_[line.key]), line.count > 0 ? line.first : kNoValue);
    }
}

bool Inf::signatureIsWin4() const {
    uint32_t version;
    if (!findSection(u"version", &version)) return false;
    for (uint32_t index : sections_[version].lines) {
        const Line& line = lines_[index];
        if (line.key == kNoKey || !equalsFolded(text(fields_[line.key]), u"signature")) continue;
        if (line.count == 0) return false;
        std::u16string_view value = text(fields_[line.first]);
        return equalsFolded(value, u"$windows nt$") || equalsFolded(value, u"$chicago$");
    }
    return false;
}

std::u16string Inf::versionValue(std::u16string_view key) const {
    std::u16string value;
    uint32_t version, line;
    if (findSection(u"version", &version) && findKey(version, key, &line)) field(version, line, 1, &value);
    return value;
}

size_t Inf::memoryBytes() const {
    size_t bytes = sizeof(Inf) + pool_.capacity() * sizeof(char16_t) + fields_.capacity() * sizeof(Span) +
                   lines_.capacity() * sizeof(Line) + sections_.capacity() * sizeof(Section);
    for (const Section& s : sections_) bytes += s.lines.capacity() * sizeof(uint32_t);
    bytes += sectionIndex_.memoryBytes() + strings_.memoryBytes();
    for (const auto& dirid : dirids_) bytes += sizeof dirid + dirid.second.capacity() * sizeof(char16_t);
    return bytes;
}

}  // namespace infengine
