// Reading the form fields of a news request: multipart/form-data, URL-encoded bodies, queries.
#pragma once

#include "news_answers.h"

#include <optional>
#include <string>
#include <string_view>

namespace lintrel::newsd {

// URL-encoded bodies above this size are refused with 413; a news form is a few short fields.
inline constexpr std::size_t kMaxUrlEncodedBody = 8 * 1024;

enum class FormError { None, Malformed, TooLarge };

struct FormResult
{
    NewsForm form;
    FormError error = FormError::None;
};

// The percent-decoded text ("+" as a space when plus is true); nullopt for a "%" not followed
// by two hexadecimal digits.
std::optional<std::string> percentDecode(std::string_view text, bool plus);

// The fields of a request from its query (the part of the target after "?"), its
// Content-Type and its body. The first value of a field wins: a multipart part, then the
// query, then a URL-encoded body. A body of another type is ignored; a multipart body that
// does not parse, or a broken escape, is Malformed.
FormResult readNewsForm(std::string_view query, std::string_view contentType,
                        std::string_view body);

} // namespace lintrel::newsd
