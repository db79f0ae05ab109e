#include "cli/BatchLines.h"

bool IsValidUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        int extra = 0;
        char32_t c = 0, least = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1, c = b & 0x1F, least = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2, c = b & 0x0F, least = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3, c = b & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (end - p <= extra) return false;
        for (int k = 1; k <= extra; ++k) {
            if ((p[k] & 0xC0) != 0x80) return false;
            c = c << 6 | (p[k] & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        p += extra + 1;
    }
    return true;
}

void TBatchLineReader::Feed(std::string_view bytes, const TSink& sink) {
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view part = bytes.substr(0, end);
        // One byte more than the limit may be the CR of a CR LF.
        if (!tooLong && pending.size() + part.size() > BatchMaxLineBytes + 1) {
            tooLong = true;
            pending.clear();
        }
        if (!tooLong) pending.append(part);
        if (end == std::string_view::npos) return;
        EndLine(sink);
        bytes.remove_prefix(end + 1);
    }
}

void TBatchLineReader::Finish(const TSink& sink) {
    if (!pending.empty() || tooLong) EndLine(sink);
}

void TBatchLineReader::EndLine(const TSink& sink) {
    TBatchLine line;
    line.Number = ++ended;
    if (!pending.empty() && pending.back() == '\r') pending.pop_back();
    // Editors on Windows begin UTF-8 files with a byte-order mark.
    if (line.Number == 1 && pending.starts_with("\xEF\xBB\xBF")) pending.erase(0, 3);
    if (tooLong || pending.size() > BatchMaxLineBytes) {
        line.Problem = "the line is longer than " + std::to_string(BatchMaxLineBytes) + " bytes";
    } else if (pending.empty()) {
        return;
    } else if (IsValidUtf8(pending)) {
        line.Code = pending;
    } else {
        line.Problem = "the line is not UTF-8 text";
    }
    pending.clear(); // keeps its room for the next line
    tooLong = false;
    sink(std::move(line));
}

std::vector<TBatchLine> ReadBatchLines(std::string_view bytes) {
    std::vector<TBatchLine> lines;
    const auto keep = [&](TBatchLine&& line) { lines.push_back(std::move(line)); };
    TBatchLineReader reader;
    reader.Feed(bytes, keep);
    reader.Finish(keep);
    return lines;
}
