#include "text/csv_format.h"

namespace kestra::tool {

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    return csvQuotedField(text);
}

std::string csvQuotedField(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

bool CsvReader::next(CsvRecord& record, CsvProblem& problem) {
    while (position_ < text_.size()) {
        record.line = line_;
        record.row = ++row_;
        record.fields.clear();
        if (!readRecord(record.fields, problem))
            return false;
        if (record.fields.size() > 1 || !record.fields[0].empty())
            return true;
    }
    return false;
}

bool CsvReader::atRecordEnd() const {
    return position_ == text_.size() || text_[position_] == '\n' ||
           text_.substr(position_).starts_with("\r\n");
}

void CsvReader::skipRecordEnd() {
    if (position_ < text_.size() && text_[position_] == '\r')
        ++position_;
    if (position_ < text_.size()) {
        ++position_;
        ++line_;
    }
}

void CsvReader::fail(CsvProblem& problem, std::string what, std::size_t line,
                     std::size_t column) const {
    problem = {std::move(what), line, row_, column};
}

bool CsvReader::readRecord(std::vector<std::string>& fields, CsvProblem& problem) {
    for (;;) {
        std::string field;
        if (position_ < text_.size() && text_[position_] == '"') {
            if (!readQuoted(field, problem, fields.size() + 1))
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
            fail(problem, "text after a closing quote", line_, fields.size());
            return false;
        }
        ++position_;
    }
}

bool CsvReader::readQuoted(std::string& field, CsvProblem& problem, std::size_t column) {
    const std::size_t startLine = line_;
    ++position_;
    for (;;) {
        if (position_ == text_.size()) {
            fail(problem, "a quoted field is not closed", startLine, column);
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

bool parseCsv(std::string_view text, std::vector<CsvRecord>& records, std::string& problem) {
    CsvReader reader(text);
    CsvRecord record;
    CsvProblem found;
    while (reader.next(record, found))
        records.push_back(record);
    problem = found.what.empty() ? "" : found.lineText();
    return found.what.empty();
}

} // namespace kestra::tool
