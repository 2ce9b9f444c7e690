// The table of the program's fixed texts: name, plain text, and the length the text must
// have (0 for the addresses, which are build settings and may have any length).
//
// The program sees these only encoded (app/texts.h); the tests include this table to prove
// that no plain text reaches the program file.
#pragma once

#define ORB_TEXT_TABLE(X)                                                                  \
    /* start-up and main window */                                                         \
    X(AppTitle, "Orb Vorex 2009 Trial Download", 29)                                       \
    X(ButtonTypeName, "cmdOrb", 6)                                                         \
    X(IconResourceId, "#1", 2)                                                             \
    X(TitleFontFace, "Arial", 5)                                                           \
    X(CompareUrl, ORB_COMPARE_URL, 0)                                                      \
    /* latest-version query */                                                             \
    X(VersionUrl, ORB_VERSION_URL, 0)                                                      \
    X(VersionSeparator, ";", 1)                                                            \
    X(VersionAfterPart, ", ", 2)                                                           \
    X(VersionAfterMonth, " ", 1)                                                           \
    X(VersionError, "Unable to get version information now", 37)                           \
    X(MonthJanuary, "January", 7)                                                          \
    X(MonthFebruary, "February", 8)                                                        \
    X(MonthMarch, "March", 5)                                                              \
    X(MonthApril, "April", 5)                                                              \
    X(MonthMay, "May", 3)                                                                  \
    X(MonthJune, "June", 4)                                                                \
    X(MonthJuly, "July", 4)                                                                \
    X(MonthAugust, "August", 6)                                                            \
    X(MonthSeptember, "September", 9)                                                      \
    X(MonthOctober, "October", 7)                                                          \
    X(MonthNovember, "November", 8)                                                        \
    X(MonthDecember, "December", 8)                                                        \
    /* HTTP transfer */                                                                    \
    X(AgentName, "Orb Vorex Web Setup 2009", 24)                                           \
    X(ProgressPrefix, "Downloading... ", 15)                                               \
    X(ProgressPrefixDone, "Finishing... ", 13)                                             \
    X(ProgressSuffix, "%", 1)                                                              \
    /* install command */                                                                  \
    X(CancelCaption, "Cancel", 6)                                                          \
    X(ExitCaption, "Exit", 4)                                                              \
    X(InstallUrl, ORB_INSTALL_URL, 0)                                                      \
    X(RequestAfterEmail, "&edn=", 5)                                                       \
    X(EditionPro, "p", 1)                                                                  \
    X(EditionLite, "l", 1)                                                                 \
    X(RequestAfterEdition, "&sub=", 5)                                                     \
    X(SubscribeYes, "on", 2)                                                               \
    X(SubscribeNo, "off", 3)                                                               \
    X(RequestAfterSubscription, "&tk=", 4)                                                 \
    X(BusyMessage, "The download server is busy right now. Please try again later.", 62)   \
    X(FailureMessage,                                                                      \
      "The installer could not be downloaded. Please check your Internet connection "      \
      "and your e-mail address, then try it again.",                                       \
      120)                                                                                 \
    X(MessageTitle, "Orb Vorex Trial Web Setup", 25)                                       \
    X(PathSeparator, "\\", 1)                                                              \
    X(InstallerArguments, " /source=web", 12)                                              \
    X(SaveFolderNotFound,                                                                  \
      "The installer could not be saved: the desktop folder could not be found.", 72)      \
    X(SaveOldFileKept,                                                                     \
      "The installer could not be saved: an older file of the same name could not be "     \
      "replaced:",                                                                         \
      87)                                                                                  \
    X(SaveNotWritten, "The installer could not be saved completely:", 44)                  \
    X(SaveNotStarted, "The installer could not be started:", 35)                           \
    X(LineBreak, "\r\n", 2)                                                                \
    X(EmailNotSendable,                                                                    \
      "The e-mail address contains a character that cannot be sent. Please type it "       \
      "with Latin letters only.",                                                          \
      100)
