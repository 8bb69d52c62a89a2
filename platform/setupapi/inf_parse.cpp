// One pass over the decoded text: physical lines, section headers, entries
// split into key and fields (syntax rules in README.md).
#include "platform/setupapi/inf_engine.h"

namespace infengine {

class Parser {
public:
    Parser(Inf& inf, std::u16string_view text) : inf_(inf), text_(text) {}

    OpenResult run() {
        // The stored texts never exceed the decoded text: one allocation,
        // trimmed to size once the text is gone.
        inf_.pool_.reserve(text_.size());
        size_t pos = 0, n = text_.size();
        uint32_t lineNo = 0;
        while (pos < n) {
            ++lineNo;
            // Only LF ends a line; CR is whitespace (Windows).
            size_t end = text_.find(u'\n', pos);
            if (end == std::u16string_view::npos) end = n;
            OpenResult r = physicalLine(pos, end, lineNo);
            if (r.error != 0) return r;
            pos = end + 1;
        }
        if (inEntry_) finishEntry();
        // Text before the first header fails the open only in a file that has
        // sections and no [Strings] among them (Windows); a file without any
        // header is left to the style check.
        if (strayLine_ != 0 && !inf_.sections_.empty() && !hasStrings_) {
            return fail(kErrorExpectedSectionName, strayLine_);
        }
        return OpenResult{};
    }

private:
    static OpenResult fail(uint32_t error, uint32_t line) { return OpenResult{error, line}; }

    OpenResult physicalLine(size_t pos, size_t end, uint32_t lineNo) {
        while (pos < end && isInfSpace(text_[pos])) ++pos;
        if (continuing_) {
            // Documented: a comment line inside a continued entry is skipped;
            // a blank line ends the entry.
            if (pos < end && text_[pos] == u';') return OpenResult{};
            continuing_ = false;
            if (pos == end) {
                finishEntry();
                return OpenResult{};
            }
            scanEntry(pos, end);
            return OpenResult{};
        }
        if (pos == end || text_[pos] == u';') return OpenResult{};
        if (text_[pos] == u'[') return header(pos + 1, end, lineNo);
        if (section_ == kNone) {
            // Read as nothing, physical line by physical line; whether it
            // fails the open is known at the end.
            if (strayLine_ == 0) strayLine_ = lineNo;
            return OpenResult{};
        }
        startEntry(lineNo);
        scanEntry(pos, end);
        return OpenResult{};
    }

    OpenResult header(size_t pos, size_t end, uint32_t lineNo) {
        size_t close = pos;
        while (close < end && text_[close] != u']') ++close;
        if (close == end) return fail(kErrorBadSectionNameLine, lineNo);
        if (close - pos > kMaxSectionNameChars) return fail(kErrorSectionNameTooLong, lineNo);
        std::u16string_view name = text_.substr(pos, close - pos);
        uint32_t next = uint32_t(inf_.sections_.size());
        section_ = inf_.sectionIndex_.insert(name, next);
        if (section_ == next) {
            Inf::Section section;
            section.name = store(name);
            section.sourceLine = lineNo;
            inf_.sections_.push_back(std::move(section));
            hasStrings_ = hasStrings_ || foldAscii(name) == u"strings";
        }
        return OpenResult{};
    }

    void startEntry(uint32_t lineNo) {
        inEntry_ = true;
        entryLine_ = lineNo;
        hasKey_ = false;
        commaSeen_ = false;
        entryFirst_ = uint32_t(inf_.fields_.size());
        resetField();
    }

    void resetField() {
        field_.clear();
        keep_ = 0;
        quotedEnd_ = 0;
        started_ = false;
    }

    void appendText(char16_t c) {
        field_.push_back(c);
        started_ = true;
        keep_ = field_.size();
    }

    // Characters of one physical line that belong to the current entry.
    void scanEntry(size_t i, size_t end) {
        bool quoted = false;
        for (; i < end; ++i) {
            char16_t c = text_[i];
            if (quoted) {
                if (c == u'"') {
                    if (i + 1 < end && text_[i + 1] == u'"') {
                        field_.push_back(u'"');
                        ++i;
                    } else {
                        quoted = false;
                    }
                } else {
                    field_.push_back(c);
                }
                keep_ = quotedEnd_ = field_.size();
                continue;
            }
            switch (c) {
            case u'"':
                quoted = true;
                started_ = true;
                keep_ = quotedEnd_ = field_.size();
                break;
            case u';':
                lineEnd(false);
                return;
            case u',':
                commaSeen_ = true;
                endField();
                break;
            case u'=':
                if (!hasKey_ && !commaSeen_) {
                    endField();
                    hasKey_ = true;
                } else {
                    appendText(c);
                }
                break;
            default:
                if (isInfSpace(c)) {
                    if (started_) field_.push_back(c);
                } else {
                    appendText(c);
                }
            }
        }
        lineEnd(quoted);
    }

    // End of a physical line's part of the entry (at its end or at a comment).
    // A continuation is a run of backslashes, blanks allowed between them
    // (Windows), that ends the unquoted text; the run and the blanks before
    // it are dropped.
    void lineEnd(bool unterminatedQuote) {
        if (!unterminatedQuote && keep_ > quotedEnd_ && field_[keep_ - 1] == u'\\') {
            field_.resize(keep_);
            while (field_.size() > quotedEnd_ && (field_.back() == u'\\' || isInfSpace(field_.back()))) {
                field_.pop_back();
            }
            keep_ = field_.size();
            continuing_ = true;
            return;
        }
        finishEntry();
    }

    void endField() {
        field_.resize(keep_);
        inf_.fields_.push_back(store(cut(field_)));
        resetField();
    }

    void finishEntry() {
        endField();
        inEntry_ = false;
        continuing_ = false;
        Inf::Line line;
        line.sourceLine = entryLine_;
        uint32_t total = uint32_t(inf_.fields_.size()) - entryFirst_;
        if (hasKey_) {
            line.key = entryFirst_;
            line.first = entryFirst_ + 1;
            line.count = total - 1;
        } else {
            line.first = entryFirst_;
            line.count = total;
            line.key = total == 1 ? entryFirst_ : Inf::kNoKey;
        }
        inf_.sections_[section_].lines.push_back(uint32_t(inf_.lines_.size()));
        inf_.lines_.push_back(line);
    }

    static std::u16string_view cut(std::u16string_view s) {
        if (s.size() <= kMaxFieldChars) return s;
        size_t n = kMaxFieldChars;
        if (s[n - 1] >= 0xD800 && s[n - 1] <= 0xDBFF) --n;
        return s.substr(0, n);
    }

    Inf::Span store(std::u16string_view s) {
        Inf::Span span{uint32_t(inf_.pool_.size()), uint32_t(s.size())};
        inf_.pool_.append(s.data(), s.size());
        return span;
    }

    static constexpr uint32_t kNone = 0xFFFFFFFFu;
    Inf& inf_;
    std::u16string_view text_;
    uint32_t section_ = kNone;
    uint32_t strayLine_ = 0;   // first line of text before the first header
    bool hasStrings_ = false;  // a [Strings] header was read
    bool inEntry_ = false;
    bool continuing_ = false;
    bool hasKey_ = false;
    bool commaSeen_ = false;
    uint32_t entryFirst_ = 0;
    uint32_t entryLine_ = 0;
    std::u16string field_;
    size_t keep_ = 0;       // field_ without its trailing unquoted blanks
    size_t quotedEnd_ = 0;  // end of the last quoted part in field_
    bool started_ = false;  // leading blanks are over
};

std::unique_ptr<Inf> Inf::open(const uint8_t* data, size_t size, const Options& options, OpenResult* result) {
    *result = OpenResult{};
    if (size == 0) {
        result->error = kErrorFileInvalid;
        return nullptr;
    }
    if (size > kMaxFileBytes) {
        result->error = kErrorNotEnoughMemory;
        return nullptr;
    }
    std::unique_ptr<Inf> inf(new Inf());
    {
        std::u16string text = decodeText(data, size);
        *result = Parser(*inf, text).run();
    }
    if (result->error != 0) return nullptr;
    inf->pool_.shrink_to_fit();
    inf->selectStrings(options.langId);
    for (const auto& dirid : options.dirids) inf->dirids_.emplace(dirid.first, dirid.second);
    bool win4 = inf->signatureIsWin4();
    if (win4 && (options.styles & kStyleWin4)) {
        inf->style_ = kStyleWin4;
    } else if (!win4 && (options.styles & kStyleOldNt)) {
        inf->style_ = kStyleOldNt;
    } else {
        *result = OpenResult{kErrorWrongInfStyle, 0};
        return nullptr;
    }
    return inf;
}

}  // namespace infengine
