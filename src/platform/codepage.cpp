#include "platform/codepage.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

#include <memory>
#include <stdexcept>

namespace pagoling::platform {
namespace {

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// ICU's windows-936-2000 table agrees with Windows code page 936 byte for byte, where glibc's GBK
// does not (0x80, 0xFF, the user-defined areas).
const char* IcuName(CodePage code_page) {
  return code_page == CodePage::kGbk ? "windows-936-2000" : "UTF-8";
}

// ICU's own substitution skips unmappable default-ignorable characters (a zero-width space, a
// byte-order mark); Windows writes its default character for them like for any other.
void SubstituteEveryUnmappable(const void* /*context*/, UConverterFromUnicodeArgs* args,
                               const UChar* /*units*/, int32_t /*length*/, UChar32 /*code_point*/,
                               UConverterCallbackReason reason, UErrorCode* status) {
  if (reason > UCNV_IRREGULAR) return;
  *status = U_ZERO_ERROR;
  ucnv_cbFromUWriteSub(args, 0, status);
}

ConverterPtr OpenConverter(CodePage code_page) {
  UErrorCode status = U_ZERO_ERROR;
  ConverterPtr converter(ucnv_open(IcuName(code_page), &status));
  if (U_FAILURE(status)) {
    throw std::runtime_error(std::string("cannot open the code-page converter ") +
                             IcuName(code_page) + ": " + u_errorName(status));
  }
  if (code_page == CodePage::kGbk) {
    status = U_ZERO_ERROR;
    ucnv_setSubstChars(converter.get(), "?", 1, &status);
    ucnv_setFromUCallBack(converter.get(), SubstituteEveryUnmappable, nullptr, nullptr, nullptr,
                          &status);
  }
  return converter;
}

// Opening a converter costs far more than a short conversion; keep one per thread and code page.
UConverter* Converter(CodePage code_page) {
  thread_local ConverterPtr gbk = OpenConverter(CodePage::kGbk);
  thread_local ConverterPtr utf8 = OpenConverter(CodePage::kUtf8);
  UConverter* converter = code_page == CodePage::kGbk ? gbk.get() : utf8.get();
  ucnv_reset(converter);
  return converter;
}

}  // namespace

std::u16string ToUtf16(std::string_view bytes, CodePage code_page) {
  if (bytes.empty()) return {};
  UConverter* converter = Converter(code_page);
  // Every byte gives at most one UTF-16 unit in both code pages, plus room for a flushed U+FFFD.
  std::u16string out(bytes.size() + 2, u'\0');
  UChar* target = out.data();
  const char* source = bytes.data();
  UErrorCode status = U_ZERO_ERROR;
  ucnv_toUnicode(converter, &target, out.data() + out.size(), &source, bytes.data() + bytes.size(),
                 nullptr, /*flush=*/true, &status);
  if (U_FAILURE(status))
    throw std::runtime_error(std::string("ucnv_toUnicode: ") + u_errorName(status));
  out.resize(static_cast<std::size_t>(target - out.data()));
  return out;
}

std::string FromUtf16(std::u16string_view text, CodePage code_page) {
  if (text.empty()) return {};
  UConverter* converter = Converter(code_page);
  // At most two GBK bytes or three UTF-8 bytes per UTF-16 unit (a surrogate pair gives four).
  std::string out(text.size() * 3 + 4, '\0');
  char* target = out.data();
  const UChar* source = text.data();
  UErrorCode status = U_ZERO_ERROR;
  ucnv_fromUnicode(converter, &target, out.data() + out.size(), &source, text.data() + text.size(),
                   nullptr, /*flush=*/true, &status);
  if (U_FAILURE(status)) {
    throw std::runtime_error(std::string("ucnv_fromUnicode: ") + u_errorName(status));
  }
  out.resize(static_cast<std::size_t>(target - out.data()));
  return out;
}

std::string GbkFromUtf8(std::string_view utf8) {
  return FromUtf16(ToUtf16(utf8, CodePage::kUtf8), CodePage::kGbk);
}

std::string Utf8FromGbk(std::string_view gbk) {
  return FromUtf16(ToUtf16(gbk, CodePage::kGbk), CodePage::kUtf8);
}

}  // namespace pagoling::platform

namespace pagoling::literals {

std::string operator""_gbk(const char* utf8, std::size_t length) {
  return platform::GbkFromUtf8(std::string_view(utf8, length));
}

}  // namespace pagoling::literals
