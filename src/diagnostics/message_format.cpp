#include "diagnostics/message_format.h"

#include "common/bounded_string.h"

namespace {

class Output {
 public:
  Output(char* out, std::size_t capacity) : out_(out), capacity_(capacity) {}

  void Put(char c) {
    if (capacity_ != 0 && length_ < capacity_ - 1) out_[length_++] = c;
  }
  void Put(std::string_view text) {
    for (char c : text) Put(c);
  }
  void Repeat(char c, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) Put(c);
  }
  std::size_t Finish() {
    if (capacity_ != 0) out_[length_] = '\0';
    return length_;
  }

 private:
  char* out_;
  std::size_t capacity_;
  std::size_t length_ = 0;
};

struct Placeholder {
  bool leftAlign = false;
  bool zeroPad = false;
  std::size_t width = 0;
  bool hasPrecision = false;
  std::size_t precision = 0;
  char conversion = '\0';
};

// Parses the placeholder that starts at format[start] ('%'); returns the index
// after it, or start when it is not a placeholder this formatter knows.
std::size_t ParsePlaceholder(std::string_view format, std::size_t start, Placeholder& placeholder) {
  std::size_t i = start + 1;
  for (; i < format.size() && (format[i] == '-' || format[i] == '0'); ++i) {
    if (format[i] == '-') placeholder.leftAlign = true;
    if (format[i] == '0') placeholder.zeroPad = true;
  }
  for (; i < format.size() && format[i] >= '0' && format[i] <= '9'; ++i) {
    if (placeholder.width < 10000)
      placeholder.width = placeholder.width * 10 + static_cast<std::size_t>(format[i] - '0');
  }
  if (i < format.size() && format[i] == '.') {
    placeholder.hasPrecision = true;
    for (++i; i < format.size() && format[i] >= '0' && format[i] <= '9'; ++i) {
      if (placeholder.precision < 10000) {
        placeholder.precision =
            placeholder.precision * 10 + static_cast<std::size_t>(format[i] - '0');
      }
    }
  }
  while (i < format.size() && (format[i] == 'h' || format[i] == 'l')) ++i;
  if (i >= format.size()) return start;
  switch (format[i]) {
    case 's':
    case 'c':
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
      placeholder.conversion = format[i];
      return i + 1;
    default:
      return start;
  }
}

using Digits = BoundedString<16>;

Digits HexDigits(std::uint32_t value, bool upper) {
  const char* alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  Digits digits;
  for (int shift = 28; shift >= 0; shift -= 4) {
    if ((value >> shift) != 0 || shift == 0) digits.Append(alphabet[(value >> shift) & 0xF]);
  }
  return digits;
}

Digits DecimalDigits(std::uint32_t value) {
  Digits digits;
  AppendDecimal(digits, value);
  return digits;
}

void PutPadded(Output& output, const Placeholder& placeholder, std::string_view sign,
               std::string_view body) {
  const std::size_t length = sign.size() + body.size();
  const std::size_t padding = placeholder.width > length ? placeholder.width - length : 0;
  if (placeholder.leftAlign) {
    output.Put(sign);
    output.Put(body);
    output.Repeat(' ', padding);
  } else if (placeholder.zeroPad && placeholder.conversion != 's' &&
             placeholder.conversion != 'c') {
    output.Put(sign);
    output.Repeat('0', padding);
    output.Put(body);
  } else {
    output.Repeat(' ', padding);
    output.Put(sign);
    output.Put(body);
  }
}

std::string_view TextOf(FormatArgument argument, const Placeholder& placeholder) {
  const char* text = reinterpret_cast<const char*>(argument);
  if (text == nullptr) return "(null)";
  std::size_t length = 0;
  while (text[length] != '\0' && (!placeholder.hasPrecision || length < placeholder.precision))
    ++length;
  return std::string_view(text, length);
}

void PutArgument(Output& output, const Placeholder& placeholder, FormatArgument argument) {
  const auto word = static_cast<std::uint32_t>(argument);
  switch (placeholder.conversion) {
    case 's':
      PutPadded(output, placeholder, {}, TextOf(argument, placeholder));
      break;
    case 'c': {
      const char c = static_cast<char>(word);
      PutPadded(output, placeholder, {}, std::string_view(&c, 1));
      break;
    }
    case 'd':
    case 'i': {
      const auto value = static_cast<std::int32_t>(word);
      const std::uint32_t magnitude = value < 0 ? 0u - word : word;
      PutPadded(output, placeholder, value < 0 ? "-" : "", DecimalDigits(magnitude));
      break;
    }
    case 'u':
      PutPadded(output, placeholder, {}, DecimalDigits(word));
      break;
    default:
      PutPadded(output, placeholder, {}, HexDigits(word, placeholder.conversion == 'X'));
      break;
  }
}

}  // namespace

std::size_t FormatMessageText(char* out, std::size_t capacity, std::string_view format,
                              std::span<const FormatArgument> arguments) {
  Output output(out, capacity);
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size();) {
    if (format[i] != '%') {
      output.Put(format[i++]);
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      output.Put('%');
      i += 2;
      continue;
    }
    Placeholder placeholder;
    const std::size_t end = ParsePlaceholder(format, i, placeholder);
    if (end == i || next >= arguments.size()) {
      // Unknown, or nothing left to fill it with: the placeholder stays as written.
      const std::size_t stop = end == i ? i + 1 : end;
      output.Put(format.substr(i, stop - i));
      i = stop;
      continue;
    }
    PutArgument(output, placeholder, arguments[next++]);
    i = end;
  }
  return output.Finish();
}
