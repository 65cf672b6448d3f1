#pragma once

// A small JSON reader for the expectations that come with the shared test data.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zentor::test {

class JsonValue
{
public:
    enum class Kind
    {
        Null,
        Boolean,
        Number,
        String,
        Array,
        Object,
    };

    // Parses a whole JSON text; nothing when it is not well formed.
    static std::optional<JsonValue> parse(const std::string& text);

    Kind kind() const { return kind_; }
    bool has(const std::string& key) const { return find(key) != nullptr; }
    // A member or element. An absent one is a test failure (the expectations are missing) and
    // gives a null value, so lookups chain; ask has() first for members that may be absent.
    const JsonValue& operator[](const std::string& key) const;
    const JsonValue& operator[](std::size_t i) const;
    std::size_t size() const { return kind_ == Kind::Array ? items_.size() : members_.size(); }

    bool boolean() const { return boolean_; }
    double number() const { return number_; }
    int integer() const { return static_cast<int>(number_); }
    const std::string& string() const { return string_; }

private:
    friend class JsonParser;
    const JsonValue* find(const std::string& key) const;

    Kind kind_ = Kind::Null;
    bool boolean_ = false;
    double number_ = 0.0;
    std::string string_;
    std::vector<JsonValue> items_;
    std::vector<std::pair<std::string, JsonValue>> members_;
};

} // namespace zentor::test
