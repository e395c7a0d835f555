// Checks of a brand document: order, tags, entry gaps, banner files and the brand level.
#include "brand/brand_lint.h"

#include "brand/brand_document.h"
#include "brand/brand_lint_tags.h"
#include "brand/brand_loader.h"
#include "brand/brand_report.h"
#include "util/fields.h"

#include <set>

namespace lintrel {

namespace {

using Warnings = std::vector<LintWarning>;

// Follows the loader through the joined text, remembering how far each field it read
// carried the working text, so a field not found can be traced to the field that hid it.
class OrderTrace
{
public:
    explicit OrderTrace(std::string joined) : joined_(std::move(joined)), work_(joined_) {}

    enum class Outcome { Read, Missing, Hidden, Unclosed };

    // Extracts name like the loader; value receives what the loader gets.
    Outcome read(std::string_view name, std::string &value)
    {
        const std::string open = openingTag(name);
        const std::string close = closingTag(name);
        const std::size_t before = work_.size();
        value = ExtractTagValue(open, close, work_);
        if (work_.size() != before) {
            reached_.push_back({std::string(name), joined_.size() - work_.size()});
            const std::string_view head = std::string_view(work_).substr(0, close.size());
            return findIgnoringAsciiCase(head, close) == 0 ? Outcome::Read : Outcome::Unclosed;
        }
        return findIgnoringAsciiCase(joined_, open) == std::string::npos ? Outcome::Missing
                                                                         : Outcome::Hidden;
    }

    // The first field read whose extraction passed the opening tag of name.
    std::string hiderOf(std::string_view name) const
    {
        const std::size_t pos = findIgnoringAsciiCase(joined_, openingTag(name));
        for (const auto &[field, offset] : reached_) {
            if (offset > pos)
                return field;
        }
        return {};
    }

    const std::string &joined() const { return joined_; }

private:
    std::string joined_;
    std::string work_;
    std::vector<std::pair<std::string, std::size_t>> reached_;
};

void add(Warnings &out, std::string field, std::string message)
{
    out.push_back({std::move(field), escapeLineBreaks(message)});
}

void warnHidden(Warnings &out, const OrderTrace &trace, std::string_view name)
{
    const std::string hider = trace.hiderOf(name);
    add(out, std::string(name),
        std::string(name) + " is not read: it stands before the end of " + hider +
            ", which is read first; move it after " + hider + ".");
}

// Reads one entry family like the loader and warns about entries cut off by a gap.
void traceFamily(Warnings &out, OrderTrace &trace, std::string_view family)
{
    std::string value;
    int n = 1;
    OrderTrace::Outcome outcome = OrderTrace::Outcome::Read;
    for (; n <= kMaxEntries; ++n) {
        outcome = trace.read(std::string(family) + std::to_string(n), value);
        if (value.empty())
            break;
    }
    const std::string stop = std::string(family) + std::to_string(n);
    if (outcome == OrderTrace::Outcome::Hidden)
        warnHidden(out, trace, stop);
    std::string unread;
    for (int m = n + 1; m <= kMaxEntries; ++m) {
        const std::string name = std::string(family) + std::to_string(m);
        if (findIgnoringAsciiCase(trace.joined(), openingTag(name)) != std::string::npos)
            unread += (unread.empty() ? "" : ", ") + name;
    }
    if (unread.empty())
        return;
    const char *why = outcome == OrderTrace::Outcome::Missing    ? "missing"
                      : outcome == OrderTrace::Outcome::Hidden   ? "not read"
                      : outcome == OrderTrace::Outcome::Unclosed ? "not closed"
                                                                 : "empty";
    add(out, unread.substr(0, unread.find(',')),
        unread + (unread.find(',') == std::string::npos ? " is" : " are") + " never read: the " +
            std::string(family) + " entries end at " + stop + ", which is " + why + ".");
}

void checkOrder(Warnings &out, std::string joined)
{
    OrderTrace trace(std::move(joined));
    std::string value;
    for (const BrandField &field : kBrandFields) {
        if (trace.read(field.tag, value) == OrderTrace::Outcome::Hidden)
            warnHidden(out, trace, field.tag);
    }
    for (std::string_view family : kEntryFamilies)
        traceFamily(out, trace, family);
}

// The family name when name is a family followed by a number outside 1 to kMaxEntries.
std::string familyBeyondLimit(std::string_view name)
{
    for (std::string_view family : kEntryFamilies) {
        if (name.size() <= family.size() || findIgnoringAsciiCase(name, family) != 0)
            continue;
        const std::string_view digits = name.substr(family.size());
        if (digits.find_first_not_of("0123456789") == std::string_view::npos)
            return std::string(family);
    }
    return {};
}

void checkTags(Warnings &out, std::string_view joined)
{
    const std::vector<DocumentTag> tags = scanTags(joined);
    // For each tag its known name, and whether a closing tag of that name follows it.
    std::vector<std::string> knownNames(tags.size());
    std::vector<bool> closedLater(tags.size());
    std::set<std::string> closingSeen;
    for (std::size_t i = tags.size(); i-- > 0;) {
        knownNames[i] = knownTagName(tags[i].name);
        closedLater[i] = closingSeen.count(knownNames[i]) != 0;
        if (tags[i].closing)
            closingSeen.insert(knownNames[i]);
    }
    std::set<std::string> reported;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const DocumentTag &tag = tags[i];
        const std::string &known = knownNames[i];
        if (known.empty()) {
            if (!reported.insert("?" + tag.name).second)
                continue;
            if (const std::string family = familyBeyondLimit(tag.name); !family.empty()) {
                add(out, tag.name,
                    tag.name + " is never read: only " + family + "1 to " + family +
                        std::to_string(kMaxEntries) + " are read.");
                continue;
            }
            const std::string near = nearestKnownTagName(tag.name);
            add(out, tag.name,
                "Unknown tag " + tag.name + (near.empty() ? "" : " (did you mean " + near + "?)") +
                    "; the loader ignores it.");
            continue;
        }
        if (known == kLastNewsIdTag && !tag.closing && tag.name != known &&
            reported.insert("case:" + known).second) {
            add(out, known,
                "The marker is written " + tag.name + ": the news marker writer looks for " +
                    known + " exactly and adds a second marker line.");
        }
        if (!tag.closing && known != kLastNewsIdTag && !reported.insert("seen:" + known).second &&
            reported.insert("twice:" + known).second) {
            add(out, known, known + " appears more than once: only the first is read.");
        }
        if (!tag.closing && !closedLater[i] && reported.insert("open:" + known).second) {
            add(out, known,
                known + " has no closing tag " + closingTag(known) + ": its value is empty.");
        }
    }
    for (const std::string &bad : malformedTags(joined))
        add(out, "",
            "Malformed tag " + bad +
                ": tag names are letters and digits between <%% "
                "and %%>, without spaces.");
}

void checkBanners(Warnings &out, const BrandLoadResult &doc,
                  const std::function<bool(std::string)> &bannerFileExists)
{
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < doc.bannerEntries.size(); ++i) {
        const std::string name = "Banner" + std::to_string(i + 1);
        const std::string file = "banner" + std::to_string(i + 1) + ".dat";
        SplitFields('^', doc.bannerEntries[i], fields);
        if (fields.empty() || fields[0].empty())
            add(out, name,
                name + " names no picture file: the banner is hidden when it is picked.");
        else if (!bannerFileExists(file))
            add(out, name, name + ": " + file + " is missing beside the settings file.");
        else if (bannerImageFormat(fields[0]).empty())
            add(out, name,
                name + ": the file name " + fields[0] +
                    " has no extension, so the picture format is unknown.");
    }
}

void checkLevel(Warnings &out, const BrandSettings &s)
{
    static const std::set<std::string> levels = {"Master", "Platinum", "Gold", "Free"};
    const std::string &level = s.BranderType;
    if (levels.count(level) == 0) {
        add(out, "BranderType",
            "BranderType \"" + level +
                "\" is not one of Master, Platinum, Gold, Free (letter case counts): the news "
                "button stays hidden.");
        return;
    }
    const bool platinum = level == "Platinum", gold = level == "Gold";
    const std::string prefix = platinum ? "Platinum" : gold ? "Gold" : "Master";
    const std::string &id = platinum ? s.PlatinumPublID : gold ? s.GoldPublID : s.MasterPublID;
    const std::string &url = platinum ? s.PlatinumNewsBaseURL
                             : gold   ? s.GoldNewsBaseURL
                                      : s.MasterNewsBaseURL;
    for (const auto &[value, field] :
         {std::pair{&id, prefix + "PublID"}, std::pair{&url, prefix + "NewsBaseURL"}}) {
        if (value->empty())
            add(out, field,
                "BranderType " + level + " needs " + field + ": the news button stays hidden.");
    }
}

} // namespace

std::vector<LintWarning> lintBrandDocument(std::string_view documentBytes,
                                           const std::function<bool(std::string)> &bannerFileExists)
{
    Warnings out;
    const std::size_t zero = documentBytes.find('\0');
    if (zero != std::string_view::npos && zero + 1 < documentBytes.size())
        add(out, "",
            "A zero byte at offset " + std::to_string(zero) +
                " ends the document: everything after it is ignored.");
    const std::string joined = joinDocumentLines(readDocumentLines(documentBytes));
    checkOrder(out, joined);
    checkTags(out, joined);
    const BrandLoadResult doc = readBrandDocument(documentBytes);
    checkBanners(out, doc, bannerFileExists);
    checkLevel(out, doc.settings);
    return out;
}

} // namespace lintrel
