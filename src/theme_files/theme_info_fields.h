#pragma once
#include <cstdint>
#include <streambuf>
#include <string>

#include "theme_files/theme_limits.h"

namespace vistaloom {

// Reads the comma-separated fields of a theme information file, one at a time. Leading
// blanks and tabs are skipped. A field that opens with a double quote runs to the next
// double quote (commas included) and the rest of its line up to the next comma or line end
// is dropped; any other field runs to the next comma or line end and loses its trailing
// blanks. Line ends are CR, LF or CR LF.
class InfoFieldReader {
  public:
    static constexpr size_t kMaxFieldLength = kMaxInfoFieldBytes;

    explicit InfoFieldReader(std::streambuf& input) : input_(input) {}

    // False at the end of the file (no field left) or on an over-long field.
    bool read_text(std::string& field);
    // A field holding the decimal text of a 32-bit signed whole number (an optional sign,
    // then digits only). False for anything else, including a number out of range.
    bool read_whole(int32_t& value);

  private:
    void skip_line_end_after_cr();
    std::streambuf& input_;
};

// Parses the decimal text of a 32-bit signed whole number as the reader accepts it.
bool parse_whole_number(const std::string& text, int32_t& value);

}  // namespace vistaloom
