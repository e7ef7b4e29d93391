#include "text/csv_format.h"

#include <algorithm>
#include <cstring>

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

CsvReader::CsvReader(CsvInput input, std::size_t bufferSize)
    : input_(std::move(input)), buffer_(std::max<std::size_t>(bufferSize, 1)), inputEnded_(false) {
    readMore();
}

bool CsvReader::next(CsvRecord& record, CsvProblem& problem) {
    CsvRecordView view;
    if (!next(view, problem))
        return false;
    record.line = view.line;
    record.row = view.row;
    record.fields.assign(view.fields.begin(), view.fields.end());
    return true;
}

bool CsvReader::next(CsvRecordView& record, CsvProblem& problem) {
    for (;;) {
        const std::size_t position = position_;
        const std::size_t line = line_;
        const std::size_t row = row_;
        ranOut_ = false;
        unquoted_.clear();
        const bool read = nextInHeldText(record, problem);
        if (!ranOut_ || inputEnded_)
            return read;
        // The record runs on past what is held: it is read again from its start with more held.
        position_ = position;
        line_ = line;
        row_ = row;
        problem = {};
        readMore();
    }
}

void CsvReader::skipLeading(std::string_view prefix) {
    while (!inputEnded_ && text_.size() - position_ < prefix.size())
        readMore();
    if (text_.substr(position_).starts_with(prefix))
        position_ += prefix.size();
}

bool CsvReader::nextInHeldText(CsvRecordView& record, CsvProblem& problem) {
    while (!endsAt(position_)) {
        record.line = line_;
        record.row = ++row_;
        if (!readRecord(record.fields, problem))
            return false;
        if (record.fields.size() > 1 || !record.fields[0].empty())
            return true;
    }
    return false;
}

bool CsvReader::endsAt(std::size_t position) const {
    if (position < text_.size())
        return false;
    ranOut_ = true;
    return true;
}

bool CsvReader::atRecordEnd() const {
    return endsAt(position_) || text_[position_] == '\n' ||
           (text_[position_] == '\r' && !endsAt(position_ + 1) && text_[position_ + 1] == '\n');
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

bool CsvReader::readRecord(std::vector<std::string_view>& fields, CsvProblem& problem) {
    fields.clear();
    for (;;) {
        std::string_view& field = fields.emplace_back();
        if (!endsAt(position_) && text_[position_] == '"') {
            if (!readQuoted(field, problem, fields.size()))
                return false;
        } else {
            const std::size_t start = position_;
            skipBareField();
            field = text_.substr(start, position_ - start);
        }
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

void CsvReader::skipBareField() {
    for (;;) {
        const char* at = text_.data() + position_;
        const char* const end = text_.data() + text_.size();
        while (at < end && *at != ',' && *at != '\n' && *at != '\r')
            ++at;
        position_ = std::size_t(at - text_.data());
        // A CR that no LF follows is text.
        if (endsAt(position_) || text_[position_] != '\r' || atRecordEnd())
            return;
        ++position_;
    }
}

bool CsvReader::readQuoted(std::string_view& field, CsvProblem& problem, std::size_t column) {
    const std::size_t startLine = line_;
    const std::size_t start = ++position_;
    std::string* unquoted = nullptr; // from the first doubled quote on
    for (;;) {
        const std::size_t quote = std::min(text_.find('"', position_), text_.size());
        const std::string_view part = text_.substr(position_, quote - position_);
        line_ += std::size_t(std::count(part.begin(), part.end(), '\n'));
        if (unquoted)
            *unquoted += part;
        position_ = quote;
        if (endsAt(position_)) {
            fail(problem, "a quoted field is not closed", startLine, column);
            return false;
        }
        ++position_;
        if (endsAt(position_) || text_[position_] != '"') {
            field = unquoted ? std::string_view(*unquoted) : text_.substr(start, quote - start);
            return true;
        }
        // A doubled quote stands for one: the field is copied from here on.
        if (!unquoted)
            unquoted = &unquoted_.emplace_back(text_.substr(start, quote - start));
        *unquoted += '"';
        ++position_;
    }
}

void CsvReader::readMore() {
    // What is held from the record being read on moves to the front; a record that fills the
    // whole buffer makes it larger.
    const std::size_t kept = text_.size() - position_;
    if (kept == buffer_.size())
        buffer_.resize(buffer_.size() * 2);
    std::memmove(buffer_.data(), buffer_.data() + position_, kept);
    const std::size_t wanted = buffer_.size() - kept;
    const std::size_t got = input_(std::span(buffer_).subspan(kept));
    inputEnded_ = got < wanted;
    text_ = std::string_view(buffer_.data(), kept + got);
    position_ = 0;
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
