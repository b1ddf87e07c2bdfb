#include "core/HelpTopics.h"

QString HelpPageForTopic(unsigned topic)
{
    switch (topic) {
    case HelpTopic::ThumbOptions:
        return QStringLiteral("dia_option_thumb.html");
    case HelpTopic::Main:
        return QStringLiteral("win_main.html");
    case HelpTopic::Thumbnails:
        return QStringLiteral("win_thumb.html");
    case HelpTopic::PageView:
        return QStringLiteral("win_image.html");
    case HelpTopic::Support:
        return QStringLiteral("support.html");
    case HelpTopic::About:
        return QStringLiteral("dia_about.html");
    case HelpTopic::ImageOptions:
        return QStringLiteral("dia_option_image.html");
    case HelpTopic::LanguageOptions:
        return QStringLiteral("dia_option_language.html");
    case HelpTopic::PrintSetup:
        return QStringLiteral("printing.html");
    default:
        return {};
    }
}
