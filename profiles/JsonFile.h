#pragma once
// CJsonFile: the one place where the program's JSON files are read and written.
//
// Reading takes the whole file (comments allowed); a missing, unreadable, empty,
// oversized or unparsable file reads as a null value. Writing produces styled
// JSON with CR LF line ends and replaces the target atomically: the text goes
// to a temporary file in the same folder, is flushed to disk and then renamed
// over the target, so a reader sees either the old or the new file, never a
// partial one.
#include <json/value.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace profiles {

class CJsonFile {
  public:
    // Files larger than this read as null: no data file of the program comes
    // near it, and it keeps a hostile file from exhausting memory.
    static constexpr std::size_t kMaxFileBytes = 16u * 1024u * 1024u;

    Json::Value ReadJsonFile(const std::string& path) const;
    // True when the file now holds the value; false leaves the old file intact.
    bool WriteJsonFile(const std::string& path, const Json::Value& value) const;

    // Local time as year_month_day_hour_minute_second_millisecond, for example
    // 2019_03_07_14_05_09_042: the identifier of a new profile.
    static std::string MakeTimeStamp();

    // Parses JSON text with comments allowed; null for text that does not parse
    // or is larger than kMaxFileBytes.
    static Json::Value ParseJsonText(std::string_view text);
    // The styled text written to disk: indented, one member per line, CR LF
    // line ends, exactly one line end at the end.
    static std::string StyledText(const Json::Value& value);
};

}  // namespace profiles
