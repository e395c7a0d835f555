// Parsing news request forms: multipart parts, URL-encoded pairs and header parameters.
#include "news_form.h"

#include "util/fields.h"

#include <array>

namespace lintrel::newsd {

namespace {

constexpr std::array<std::string NewsForm::*, 6> kFields = {
    &NewsForm::memusername, &NewsForm::prodcode, &NewsForm::prodtype,
    &NewsForm::conttype,    &NewsForm::newsid,   &NewsForm::newstarget};
constexpr std::array<std::string_view, 6> kFieldNames = {"memusername", "prodcode", "prodtype",
                                                         "conttype",    "newsid",   "newstarget"};

// The fields as they fill: the first value of each name is kept.
class FormFill
{
public:
    void offer(std::string_view name, std::string_view value)
    {
        for (std::size_t i = 0; i < kFieldNames.size(); ++i) {
            if (name == kFieldNames[i] && !set_[i]) {
                form_.*kFields[i] = std::string(value);
                set_[i] = true;
            }
        }
    }
    NewsForm take() { return std::move(form_); }

private:
    NewsForm form_;
    std::array<bool, 6> set_{};
};

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The value of parameter name in a header value such as `form-data; name="x"`, unquoted.
std::optional<std::string> headerParam(std::string_view header, std::string_view name)
{
    constexpr auto npos = std::string_view::npos;
    std::size_t i = header.find(';');
    while (i != npos) {
        const auto eq = header.find('=', i + 1);
        if (eq == npos)
            return std::nullopt;
        const std::string_view key = trimBlanks(header.substr(i + 1, eq - i - 1));
        for (i = eq + 1; i < header.size() && (header[i] == ' ' || header[i] == '\t');)
            ++i;
        std::string value;
        if (i < header.size() && header[i] == '"') {
            for (++i; i < header.size() && header[i] != '"'; ++i) {
                if (header[i] == '\\' && i + 1 < header.size())
                    ++i;
                value += header[i];
            }
            if (i >= header.size())
                return std::nullopt; // no closing quote
            ++i;
        } else {
            const std::size_t end = std::min(header.find(';', i), header.size());
            value = std::string(trimBlanks(header.substr(i, end - i)));
            i = end;
        }
        if (equalsIgnoringAsciiCase(key, name))
            return value;
        i = header.find(';', i);
    }
    return std::nullopt;
}

// The field name of one part from its header lines, or "" when it names none.
std::string partName(std::string_view headers)
{
    while (!headers.empty()) {
        const auto eol = headers.find("\r\n");
        const std::string_view line = headers.substr(0, eol);
        headers = eol == std::string_view::npos ? std::string_view() : headers.substr(eol + 2);
        const auto colon = line.find(':');
        if (colon != std::string_view::npos &&
            equalsIgnoringAsciiCase(trimBlanks(line.substr(0, colon)), "Content-Disposition"))
            return headerParam(line.substr(colon + 1), "name").value_or(std::string());
    }
    return {};
}

bool readMultipart(std::string_view boundary, std::string_view body, FormFill &fill)
{
    if (boundary.empty() || boundary.size() > 70)
        return false;
    const std::string delimiter = "--" + std::string(boundary);
    const std::string separator = "\r\n" + delimiter;
    std::size_t pos = body.substr(0, delimiter.size()) == delimiter ? 0 : body.find(separator);
    if (pos == std::string_view::npos)
        return false;
    pos += pos == 0 ? delimiter.size() : separator.size();
    while (true) {
        if (body.substr(pos, 2) == "--")
            return true;
        while (pos < body.size() && (body[pos] == ' ' || body[pos] == '\t'))
            ++pos;
        if (body.substr(pos, 2) != "\r\n")
            return false;
        pos += 2;
        const bool noHeaders = body.substr(pos, 2) == "\r\n";
        const auto headersEnd = noHeaders ? pos : body.find("\r\n\r\n", pos);
        if (headersEnd == std::string_view::npos)
            return false;
        const std::size_t valueStart = headersEnd + (noHeaders ? 2 : 4);
        const auto valueEnd = body.find(separator, valueStart);
        if (valueEnd == std::string_view::npos)
            return false;
        fill.offer(partName(body.substr(pos, headersEnd - pos)),
                   body.substr(valueStart, valueEnd - valueStart));
        pos = valueEnd + separator.size();
    }
}

bool readUrlEncoded(std::string_view text, FormFill &fill)
{
    while (!text.empty()) {
        const auto amp = text.find('&');
        const std::string_view pair = text.substr(0, amp);
        text = amp == std::string_view::npos ? std::string_view() : text.substr(amp + 1);
        const auto eq = pair.find('=');
        const auto name = percentDecode(pair.substr(0, eq), true);
        const auto value =
            percentDecode(eq == std::string_view::npos ? "" : pair.substr(eq + 1), true);
        if (!name || !value)
            return false;
        fill.offer(*name, *value);
    }
    return true;
}

} // namespace

std::optional<std::string> percentDecode(std::string_view text, bool plus)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%') {
            const int hi = i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
            const int lo = hi >= 0 ? hexValue(text[i + 2]) : -1;
            if (lo < 0)
                return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            out += plus && text[i] == '+' ? ' ' : text[i];
        }
    }
    return out;
}

FormResult readNewsForm(std::string_view query, std::string_view contentType, std::string_view body)
{
    FormFill fill;
    const std::string_view mediaType = trimBlanks(contentType.substr(0, contentType.find(';')));
    const bool multipart = equalsIgnoringAsciiCase(mediaType, "multipart/form-data");
    const bool urlEncoded = equalsIgnoringAsciiCase(mediaType, "application/x-www-form-urlencoded");
    if (urlEncoded && body.size() > kMaxUrlEncodedBody)
        return {{}, FormError::TooLarge};
    if (multipart && !readMultipart(headerParam(contentType, "boundary").value_or(""), body, fill))
        return {{}, FormError::Malformed};
    if (!readUrlEncoded(query, fill) || (urlEncoded && !readUrlEncoded(body, fill)))
        return {{}, FormError::Malformed};
    return {fill.take(), FormError::None};
}

} // namespace lintrel::newsd
