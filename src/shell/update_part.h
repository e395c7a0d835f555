// The update part of the main window: the live-update check and the hand-off to the updater.
#pragma once

#include <string>
#include <string_view>

namespace lintrel {

class TfrmMain;
enum class MessageAnswer;
enum class MessageButtons;
enum class MessageKind;

class UpdatePart
{
public:
    explicit UpdatePart(TfrmMain &window);

    void btnUpdateClick();

    // The live-update check; silent leaves out only the "no new updates" message. A check
    // that would start while another waits for the server, or while the window closes, is
    // dropped.
    void CheckForUpdates(bool silent);

    // GETs url into the file at path through the window's client, replacing any old file;
    // true when the whole body is in the file, and a failed download leaves no file.
    bool DownloadToFile(const std::string &url, const std::string &path);

private:
    // The offer accepted: starts the updater when it is there and the user agrees, then
    // closes the window.
    void handOffToUpdater(const std::string &baseUrl);
    MessageAnswer say(std::string_view text, MessageKind kind, MessageButtons buttons);

    TfrmMain &window_;
    bool updateCheckRunning_ = false;
};

} // namespace lintrel
