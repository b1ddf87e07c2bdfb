#include "support/FakePlatform.h"

namespace testsupport {

FakePlatform::FakePlatform() : platform(std::make_unique<CPlatform>())
{
    auto m = std::make_unique<FakeMessageBox>();
    auto f = std::make_unique<FakeFileDialog>();
    auto c = std::make_unique<FakeClipboard>();
    auto ma = std::make_unique<FakeMail>();
    auto h = std::make_unique<FakeHelp>();
    auto u = std::make_unique<FakeUrl>();
    auto d = std::make_unique<FakeDialogs>();
    auto sp = std::make_unique<FakeSpooler>();
    spooler = sp.get();
    platform->print = std::move(sp);
    messages = m.get();
    files = f.get();
    clipboard = c.get();
    mail = ma.get();
    help = h.get();
    url = u.get();
    dialogs = d.get();
    platform->messageBox = std::move(m);
    platform->fileDialog = std::move(f);
    platform->clipboard = std::move(c);
    platform->mail = std::move(ma);
    platform->help = std::move(h);
    platform->url = std::move(u);
    platform->dialogs = std::move(d);
}

} // namespace testsupport
