#pragma once
// A zero-terminated string held in a fixed buffer: the program's form of an
// "N-byte buffer". An assignment or append that does not fit is refused whole and
// leaves the string unchanged, so a value is never silently cut into another,
// shorter path or key name.

#include <cstddef>
#include <string_view>

template <typename CharT, std::size_t Capacity>
class BasicBoundedString {
  static_assert(Capacity > 0, "room for the terminator is needed");

 public:
  using View = std::basic_string_view<CharT>;
  static constexpr std::size_t kCapacity = Capacity;       // elements, terminator included
  static constexpr std::size_t kMaxLength = Capacity - 1;  // characters

  BasicBoundedString() { data_[0] = CharT(); }

  bool Assign(View text) {
    Clear();
    return Append(text);
  }
  bool Append(View text) {
    if (text.size() > kMaxLength - length_) return false;
    for (CharT c : text) data_[length_++] = c;
    data_[length_] = CharT();
    return true;
  }
  bool Append(CharT c) { return Append(View(&c, 1)); }
  void Clear() {
    length_ = 0;
    data_[0] = CharT();
  }
  // Shortens the string to `length` characters; a longer length changes nothing.
  void Truncate(std::size_t length) {
    if (length < length_) {
      length_ = length;
      data_[length_] = CharT();
    }
  }

  // For system calls that write into the buffer: afterwards SyncLength() reads
  // the length back from the terminator (one is forced at the end).
  CharT* Buffer() { return data_; }
  void SyncLength() {
    data_[kMaxLength] = CharT();
    length_ = 0;
    while (data_[length_] != CharT()) ++length_;
  }

  const CharT* c_str() const { return data_; }
  View view() const { return View(data_, length_); }
  operator View() const { return view(); }
  std::size_t size() const { return length_; }
  bool empty() const { return length_ == 0; }
  CharT operator[](std::size_t i) const { return data_[i]; }
  CharT& operator[](std::size_t i) { return data_[i]; }
  CharT back() const { return length_ ? data_[length_ - 1] : CharT(); }

 private:
  CharT data_[Capacity];
  std::size_t length_ = 0;
};

template <std::size_t Capacity>
using BoundedString = BasicBoundedString<char, Capacity>;
template <std::size_t Capacity>
using BoundedWideString = BasicBoundedString<char16_t, Capacity>;

// Appends as much of `text` as fits, where Append would refuse it whole: for
// reports, in which the start of a text is worth more than nothing.
template <typename CharT, std::size_t Capacity>
void AppendCut(BasicBoundedString<CharT, Capacity>& out,
               typename BasicBoundedString<CharT, Capacity>::View text) {
  out.Append(text.substr(0, out.kMaxLength - out.size()));
}

// Number formatting for bounded strings: the program formats with these rather
// than the printf family, whose C99 versions add tens of kilobytes to it.
template <typename CharT, std::size_t Capacity>
bool AppendDecimal(BasicBoundedString<CharT, Capacity>& text, long long value) {
  CharT digits[24];
  std::size_t count = 0;
  unsigned long long magnitude =
      value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  do {
    digits[count++] = static_cast<CharT>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits[count++] = CharT('-');
  CharT ordered[24];
  for (std::size_t i = 0; i < count; ++i) ordered[i] = digits[count - 1 - i];
  return text.Append(std::basic_string_view<CharT>(ordered, count));
}
