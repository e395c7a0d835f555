// The system clipboard, behind an interface for headless tests.
#pragma once

#include <QString>

namespace lintrel {

class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual void setText(const QString &text) = 0;
};

class QtClipboard : public Clipboard
{
public:
    void setText(const QString &text) override;
};

} // namespace lintrel
