#include "tools/common/IntelHex.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/common/Numbers.h"
#include "tools/common/SystemReason.h"
#include "tools/common/Wording.h"

namespace {

enum RecordType : std::uint8_t {
    REC_DATA = 0x00,
    REC_EOF = 0x01,
    REC_SEGMENT = 0x02,
    REC_START_SEGMENT = 0x03,
    REC_LINEAR = 0x04,
    REC_START_LINEAR = 0x05,
};

// Record fields beyond the data: length, two address bytes, type and checksum.
constexpr std::size_t kFrameBytes = 5;

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

bool CIntelHex::LoadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        m_runs.clear();
        m_name = path;
        return Fail(0, tools::Say("cannot open: {1}", {tools::SystemReason(errno)}));
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        m_runs.clear();
        m_name = path;
        return Fail(0, tools::Say("cannot read: {1}", {tools::SystemReason(errno)}));
    }
    return Parse(text.str(), path);
}

bool CIntelHex::Parse(const std::string& text, const std::string& name)
{
    m_name = name;
    m_upperAddress = 0;
    m_runs.clear();
    m_error.clear();
    m_errorLine = 0;

    std::vector<Record> records;
    bool done = false;
    int number = 0;
    for (std::size_t start = 0; start < text.size() && !done;) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        ++number;
        if (!ParseLine(text.substr(start, end - start), number, records, done))
            return false;
        start = end + 1;
    }
    if (!done)
        return Fail(0, tools::Say("no end-of-file record"));
    return BuildRuns(records);
}

bool CIntelHex::ParseLine(const std::string& raw, int number, std::vector<Record>& records, bool& done)
{
    std::size_t last = raw.find_last_not_of(" \t\r");
    if (last == std::string::npos)
        return true; // blank lines are harmless
    const std::string line = raw.substr(0, last + 1);
    if (line[0] != ':')
        return Fail(number, tools::Say("record does not start with ':'"));
    if ((line.size() - 1) % 2 != 0)
        return Fail(number, tools::Say("odd number of hexadecimal digits"));

    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 1; i < line.size(); i += 2) {
        const int high = HexValue(line[i]);
        const int low = HexValue(line[i + 1]);
        if (high < 0 || low < 0) {
            const std::size_t column = high < 0 ? i : i + 1;
            return Fail(number, tools::Say("'{1}' in column {2} is not a hexadecimal digit",
                                           {std::string(1, line[column]), std::to_string(column + 1)}));
        }
        bytes.push_back(std::uint8_t(high << 4 | low));
    }
    if (bytes.size() < kFrameBytes)
        return Fail(number, tools::Say("record too short"));
    const std::size_t count = bytes[0];
    if (bytes.size() != count + kFrameBytes)
        return Fail(number, tools::Say("length byte says {1} data bytes, record holds {2}",
                                       {std::to_string(count), std::to_string(bytes.size() - kFrameBytes)}));
    unsigned sum = 0;
    for (std::uint8_t b : bytes)
        sum += b;
    if (sum % 256 != 0) {
        const unsigned found = bytes.back();
        const unsigned expected = (found - sum) % 256;
        return Fail(number, tools::Say("bad checksum {1}H, expected {2}H", {tools::Hex(found, 2), tools::Hex(expected, 2)}));
    }

    const std::uint32_t offset = std::uint32_t(bytes[1]) << 8 | bytes[2];
    const std::uint8_t* data = bytes.data() + 4;
    const std::uint32_t value16 = count >= 2 ? std::uint32_t(data[0]) << 8 | data[1] : 0;
    switch (bytes[3]) {
    case REC_DATA: {
        const unsigned long long address = std::uint64_t(m_upperAddress) + offset;
        if (address + count > 0x100000000ULL)
            return Fail(number, tools::Say("data runs past the 4 GB address space"));
        records.push_back({std::uint32_t(address), number, std::vector<std::uint8_t>(data, data + count)});
        return true;
    }
    case REC_EOF:
        if (count != 0)
            return Fail(number, tools::Say("end-of-file record with data"));
        done = true;
        return true;
    case REC_SEGMENT:
    case REC_LINEAR:
        if (count != 2)
            return Fail(number, tools::Say("address record needs 2 data bytes, has {1}", {std::to_string(count)}));
        m_upperAddress = bytes[3] == REC_SEGMENT ? value16 << 4 : value16 << 16;
        return true;
    case REC_START_SEGMENT:
    case REC_START_LINEAR:
        if (count != 4)
            return Fail(number, tools::Say("start address record needs 4 data bytes, has {1}", {std::to_string(count)}));
        return true;
    default:
        return Fail(number, tools::Say("unknown record type {1}H", {tools::Hex(bytes[3], 2)}));
    }
}

bool CIntelHex::BuildRuns(std::vector<Record>& records)
{
    std::stable_sort(records.begin(), records.end(),
        [](const Record& a, const Record& b) { return a.address < b.address; });
    int lastLine = 0;
    for (Record& record : records) {
        if (record.bytes.empty())
            continue;
        if (!m_runs.empty()) {
            Run& run = m_runs.back();
            const std::uint64_t end = std::uint64_t(run.address) + run.bytes.size();
            if (record.address < end) {
                m_runs.clear();
                return Fail(std::max(record.line, lastLine),
                            tools::Say("data at {1}H overlaps the data of line {2}",
                                       {tools::Hex(record.address, 4), std::to_string(std::min(record.line, lastLine))}));
            }
            if (record.address == end) {
                run.bytes.insert(run.bytes.end(), record.bytes.begin(), record.bytes.end());
                lastLine = record.line;
                continue;
            }
        }
        m_runs.push_back({record.address, std::move(record.bytes)});
        lastLine = record.line;
    }
    return true;
}

bool CIntelHex::Fail(int line, const std::string& what)
{
    m_errorLine = line;
    m_error = line > 0 ? m_name + ":" + std::to_string(line) + ": " + what : m_name + ": " + what;
    return false;
}
