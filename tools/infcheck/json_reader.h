// For tests: a small strict JSON reader, so that tests check infcheck's JSON
// as a consumer would, not as text.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

struct JsonValue {
    enum Type { Null, Bool, Number, String, Array, Object } type = Null;
    bool boolean = false;
    double number = 0;
    std::string string;
    std::vector<JsonValue> array;
    std::map<std::string, JsonValue> object;

    const JsonValue& operator[](const std::string& name) const {
        static const JsonValue missing;
        auto found = object.find(name);
        return found == object.end() ? missing : found->second;
    }
    const JsonValue& operator[](size_t index) const { return array.at(index); }
    bool has(const std::string& name) const { return object.count(name) != 0; }
};

class JsonReader {
public:
    // False when the text is not one complete JSON value.
    static bool parse(const std::string& text, JsonValue* value) {
        JsonReader reader(text);
        return reader.value(value, 0) && (reader.skip(), reader.position == text.size());
    }

private:
    explicit JsonReader(const std::string& text) : text(text) {}

    void skip() {
        while (position < text.size() && (text[position] == ' ' || text[position] == '\n' ||
                                          text[position] == '\r' || text[position] == '\t')) {
            ++position;
        }
    }
    bool literal(const char* word) {
        const std::string w = word;
        if (text.compare(position, w.size(), w) != 0) return false;
        position += w.size();
        return true;
    }
    bool value(JsonValue* out, int depth) {
        if (depth > 64) return false;
        skip();
        if (position >= text.size()) return false;
        const char c = text[position];
        if (c == '{') return object(out, depth);
        if (c == '[') return array(out, depth);
        if (c == '"') return out->type = JsonValue::String, string(&out->string);
        if (literal("null")) return out->type = JsonValue::Null, true;
        if (literal("true")) return out->type = JsonValue::Bool, out->boolean = true, true;
        if (literal("false")) return out->type = JsonValue::Bool, out->boolean = false, true;
        return number(out);
    }
    bool number(JsonValue* out) {
        const size_t start = position;
        if (position < text.size() && text[position] == '-') ++position;
        while (position < text.size() && std::string("0123456789.eE+-").find(text[position]) != std::string::npos) {
            ++position;
        }
        if (position == start) return false;
        out->type = JsonValue::Number;
        const std::string digits = text.substr(start, position - start);
        char* end = nullptr;
        out->number = std::strtod(digits.c_str(), &end);
        return end == digits.c_str() + digits.size();
    }
    bool string(std::string* out) {
        ++position;  // the opening quote
        while (position < text.size()) {
            const unsigned char c = static_cast<unsigned char>(text[position++]);
            if (c == '"') return true;
            if (c < 0x20) return false;
            if (c != '\\') {
                out->push_back(static_cast<char>(c));
                continue;
            }
            if (position >= text.size()) return false;
            const char escape = text[position++];
            switch (escape) {
                case '"': case '\\': case '/': out->push_back(escape); break;
                case 'n': out->push_back('\n'); break;
                case 't': out->push_back('\t'); break;
                case 'r': out->push_back('\r'); break;
                case 'b': out->push_back('\b'); break;
                case 'f': out->push_back('\f'); break;
                case 'u': {
                    if (position + 4 > text.size()) return false;
                    unsigned unit = 0;
                    for (int i = 0; i < 4; ++i) {
                        const char h = text[position++];
                        const int digit = h >= '0' && h <= '9'   ? h - '0'
                                          : h >= 'a' && h <= 'f' ? h - 'a' + 10
                                          : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                                 : -1;
                        if (digit < 0) return false;
                        unit = unit * 16 + static_cast<unsigned>(digit);
                    }
                    if (unit >= 0x80) return false;  // the writer escapes only control characters
                    out->push_back(static_cast<char>(unit));
                    break;
                }
                default: return false;
            }
        }
        return false;
    }
    bool array(JsonValue* out, int depth) {
        out->type = JsonValue::Array;
        ++position;
        skip();
        if (position < text.size() && text[position] == ']') return ++position, true;
        for (;;) {
            out->array.emplace_back();
            if (!value(&out->array.back(), depth + 1)) return false;
            skip();
            if (position >= text.size()) return false;
            if (text[position] == ']') return ++position, true;
            if (text[position++] != ',') return false;
        }
    }
    bool object(JsonValue* out, int depth) {
        out->type = JsonValue::Object;
        ++position;
        skip();
        if (position < text.size() && text[position] == '}') return ++position, true;
        for (;;) {
            skip();
            std::string name;
            if (position >= text.size() || text[position] != '"' || !string(&name)) return false;
            skip();
            if (position >= text.size() || text[position++] != ':') return false;
            if (!value(&out->object[name], depth + 1)) return false;
            skip();
            if (position >= text.size()) return false;
            if (text[position] == '}') return ++position, true;
            if (text[position++] != ',') return false;
        }
    }

    const std::string& text;
    size_t position = 0;
};
