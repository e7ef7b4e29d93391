#include "text/csv_format.h"

namespace kestra::tool {

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

namespace {

class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text_(text) {}

    bool read(std::vector<CsvRecord>& records, std::string& problem) {
        while (position_ < text_.size()) {
            CsvRecord record;
            record.line = line_;
            if (!readRecord(record.fields, problem))
                return false;
            if (record.fields.size() > 1 || !record.fields[0].empty())
                records.push_back(std::move(record));
        }
        return true;
    }

private:
    bool atRecordEnd() const {
        return position_ == text_.size() || text_[position_] == '\n' ||
               text_.substr(position_).starts_with("\r\n");
    }

    void skipRecordEnd() {
        if (position_ < text_.size() && text_[position_] == '\r')
            ++position_;
        if (position_ < text_.size()) {
            ++position_;
            ++line_;
        }
    }

    bool readRecord(std::vector<std::string>& fields, std::string& problem) {
        for (;;) {
            std::string field;
            if (position_ < text_.size() && text_[position_] == '"') {
                if (!readQuoted(field, problem))
                    return false;
            } else {
                while (position_ < text_.size() && text_[position_] != ',' && !atRecordEnd())
                    field += text_[position_++];
            }
            fields.push_back(std::move(field));
            if (atRecordEnd()) {
                skipRecordEnd();
                return true;
            }
            if (text_[position_] != ',') {
                problem = "line " + std::to_string(line_) + ": text after a closing quote";
                return false;
            }
            ++position_;
        }
    }

    bool readQuoted(std::string& field, std::string& problem) {
        const std::size_t startLine = line_;
        ++position_;
        for (;;) {
            if (position_ == text_.size()) {
                problem = "line " + std::to_string(startLine) + ": a quoted field is not closed";
                return false;
            }
            const char c = text_[position_++];
            if (c == '"') {
                if (position_ == text_.size() || text_[position_] != '"')
                    return true;
                ++position_;
            } else if (c == '\n') {
                ++line_;
            }
            field += c;
        }
    }

    std::string_view text_;
    std::size_t position_ = 0;
    std::size_t line_ = 1;
};

} // namespace

bool parseCsv(std::string_view text, std::vector<CsvRecord>& records, std::string& problem) {
    return CsvReader(text).read(records, problem);
}

} // namespace kestra::tool
