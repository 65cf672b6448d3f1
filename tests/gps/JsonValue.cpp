#include "JsonValue.h"

#include <cctype>
#include <cstdlib>
#include <gtest/gtest.h>

namespace zentor::test {

// Recursive descent over the text; every parse step returns false at the first fault.
class JsonParser
{
public:
    explicit JsonParser(const std::string& text) : text_(text) {}

    bool document(JsonValue& out)
    {
        if (!value(out))
            return false;
        skipBlanks();
        return pos_ == text_.size();
    }

private:
    void skipBlanks()
    {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
            ++pos_;
    }

    bool take(char c)
    {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool word(const char* w)
    {
        const std::string s(w);
        if (text_.compare(pos_, s.size(), s) != 0)
            return false;
        pos_ += s.size();
        return true;
    }

    bool value(JsonValue& out)
    {
        skipBlanks();
        if (pos_ >= text_.size())
            return false;
        const char c = text_[pos_];
        if (c == '{')
            return object(out);
        if (c == '[')
            return array(out);
        if (c == '"') {
            out.kind_ = JsonValue::Kind::String;
            return string(out.string_);
        }
        if (word("true") || word("false")) {
            out.kind_ = JsonValue::Kind::Boolean;
            out.boolean_ = c == 't';
            return true;
        }
        if (word("null"))
            return true;
        return number(out);
    }

    bool number(JsonValue& out)
    {
        const char* start = text_.c_str() + pos_;
        char* end = nullptr;
        out.number_ = std::strtod(start, &end);
        if (end == start)
            return false;
        out.kind_ = JsonValue::Kind::Number;
        pos_ += static_cast<std::size_t>(end - start);
        return true;
    }

    // The test data's texts are ASCII: escapes other than the one-character ones are refused.
    bool string(std::string& out)
    {
        ++pos_; // opening quote
        while (pos_ < text_.size()) {
            char c = text_[pos_++];
            if (c == '"')
                return true;
            if (c == '\\') {
                if (pos_ >= text_.size())
                    return false;
                c = text_[pos_++];
                switch (c) {
                case 'n':
                    c = '\n';
                    break;
                case 't':
                    c = '\t';
                    break;
                case '"':
                case '\\':
                case '/':
                    break;
                default:
                    return false;
                }
            }
            out += c;
        }
        return false;
    }

    bool array(JsonValue& out)
    {
        ++pos_;
        out.kind_ = JsonValue::Kind::Array;
        if (take(']'))
            return true;
        do {
            out.items_.emplace_back();
            if (!value(out.items_.back()))
                return false;
        } while (take(','));
        return take(']');
    }

    bool object(JsonValue& out)
    {
        ++pos_;
        out.kind_ = JsonValue::Kind::Object;
        if (take('}'))
            return true;
        do {
            skipBlanks();
            std::string key;
            if (pos_ >= text_.size() || text_[pos_] != '"' || !string(key) || !take(':'))
                return false;
            out.members_.emplace_back(std::move(key), JsonValue());
            if (!value(out.members_.back().second))
                return false;
        } while (take(','));
        return take('}');
    }

    const std::string& text_;
    std::size_t pos_ = 0;
};

std::optional<JsonValue> JsonValue::parse(const std::string& text)
{
    JsonValue v;
    JsonParser parser(text);
    if (!parser.document(v))
        return std::nullopt;
    return v;
}

const JsonValue* JsonValue::find(const std::string& key) const
{
    for (const auto& m : members_) {
        if (m.first == key)
            return &m.second;
    }
    return nullptr;
}

const JsonValue& JsonValue::operator[](const std::string& key) const
{
    static const JsonValue kAbsent;
    const JsonValue* v = find(key);
    if (!v)
        ADD_FAILURE() << "expected data has no member \"" << key << "\"";
    return v ? *v : kAbsent;
}

const JsonValue& JsonValue::operator[](std::size_t i) const
{
    static const JsonValue kAbsent;
    if (kind_ != Kind::Array || i >= items_.size())
        ADD_FAILURE() << "expected data has no element " << i;
    return kind_ == Kind::Array && i < items_.size() ? items_[i] : kAbsent;
}

} // namespace zentor::test
