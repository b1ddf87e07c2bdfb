#pragma once
// Help topics: every window and dialog with a help page asks for it by number.

#include <QString>

namespace HelpTopic {
enum : int
{
    ThumbOptions = 1,
    Main = 2,
    Thumbnails = 3,
    PageView = 4,
    Support = 7,
    About = 8,
    ImageOptions = 9,
    LanguageOptions = 10,
    PrintSetup = 11, // the printer set-up dialog: the page on printing
};
}

// The page of a topic, or empty for the help book's default page.
QString HelpPageForTopic(unsigned topic);
// Topics of 10000 and more are not help requests and are ignored.
inline bool IsHelpTopicIgnored(unsigned topic)
{
    return topic >= 10000;
}
