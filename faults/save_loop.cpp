// Saves one settings file of one of the programs again and again, for the test that kills
// it at random moments (test_saves_killed.cpp).
//
//   fault_save_loop FORMAT FOLDER a|b   saves version a (short) or b (long) once, prints the file's path
//   fault_save_loop FORMAT FOLDER loop  runs the program's start-up on FOLDER, prints a line,
//                                       waits for a line on standard input, then saves a and b
//                                       in turn until it is killed
//
// FORMAT: kestrune, kestrune-keywords, pellavo, pellavo-patterns, orvane, tassik.

#include "jobsbatch/JobLists.h"
#include "jobsbatch/Settings.h"
#include "jobsbatch/Startup.h"
#include "m2vjobs/PatternTable.h"
#include "m2vjobs/Settings.h"
#include "m2vjobs/Startup.h"
#include "m2vjobs/Texts.h"
#include "tsdemux/Keywords.h"
#include "tsdemux/Settings.h"
#include "tsdemux/Startup.h"
#include "tsrename/Texts.h"
#include "tsrename/ValueTable.h"

#include "FileOps.h"
#include "PrintingDialogs.h"
#include "TextFile.h"
#include "ToolWatch.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <functional>
#include <iostream>
#include <string>

namespace {

// A value of the version: a short one, or a long one in cp932's double-byte characters,
// so the two files differ in length and a torn write can't pass for either.
QString valueOf(char version) {
    return version == 'a' ? QStringLiteral("a") : QStringLiteral("録画フォルダ").repeated(800);
}

struct Format {
    std::function<QString(const QString& folder, char version)> save; // returns the error
    std::function<void(const QString& folder)> startUp;
    QString fileName;
};

Format formatOf(const QString& name) {
    if (name == u"kestrune" || name == u"kestrune-keywords") {
        const bool keywords = name == u"kestrune-keywords";
        return {
            [keywords](const QString& folder, char version) {
                if (keywords)
                    return kestrune::saveKeywordFile(folder, {valueOf(version), QStringLiteral("ニュース")});
                kestrune::Settings s(kestrune::SettingsSize);
                s.set(kestrune::slot::ProgramFolder, folder);
                kestrune::applyDefaults(s);
                s.set(kestrune::slot::SourceFolder, chain::joinPath(folder, valueOf(version)));
                return kestrune::SaveSettings(s);
            },
            [](const QString& folder) {
                QFile demuxer(chain::joinPath(folder, chain::DemuxerImage)); // start-up looks for it
                if (!demuxer.exists() && demuxer.open(QIODevice::WriteOnly))
                    demuxer.close();
                chain::PrintingDialogs dialogs;
                kestrune::Settings s(kestrune::SettingsSize);
                kestrune::Keywords keywords;
                kestrune::startUp(folder, s, keywords, dialogs);
            },
            keywords ? kestrune::KeywordFileName : kestrune::SettingsFileName};
    }
    if (name == u"pellavo" || name == u"pellavo-patterns") {
        const bool patterns = name == u"pellavo-patterns";
        return {[patterns](const QString& folder, char version) {
                    if (patterns)
                        return pellavo::SavePatterns(
                            folder, {{{valueOf(version), QStringLiteral("a.jobs")},
                                      {QStringLiteral("NoResize"), QStringLiteral("b.jobs")}}});
                    pellavo::SettingTable s(pellavo::SettingTableSize);
                    s.set(pellavo::slot::StartFolder, folder);
                    pellavo::applyDefaults(s);
                    s.set(pellavo::slot::M2vFolder, chain::joinPath(folder, valueOf(version)));
                    return pellavo::SaveSettings(s);
                },
                [](const QString& folder) {
                    chain::PrintingDialogs dialogs;
                    pellavo::SettingTable s(pellavo::SettingTableSize);
                    pellavo::PatternTable table;
                    pellavo::startUp(folder, s, table, dialogs);
                },
                patterns ? pellavo::text::PatternFile : pellavo::text::SettingsFile};
    }
    if (name == u"orvane") {
        return {[](const QString& folder, char version) {
                    orvane::StateTable s(orvane::StateTableSize);
                    s.set(orvane::slot::StartFolder, folder);
                    orvane::applyDefaults(s);
                    s.set(orvane::slot::JobsFolder, chain::joinPath(folder, valueOf(version)));
                    return orvane::SaveSettings(s);
                },
                [](const QString& folder) {
                    orvane::StateTable s(orvane::StateTableSize);
                    orvane::JobLists lists(s);
                    orvane::startUp(folder, s, lists);
                },
                orvane::SettingsFileName};
    }
    if (name == u"tassik") {
        return {[](const QString& folder, char version) {
                    tassik::ValueTable values(tassik::slot::Count);
                    values.set(tassik::slot::StartFolder, folder);
                    values.set(tassik::slot::RenameFolder, chain::joinPath(folder, valueOf(version)));
                    return tassik::writeSettings(values, QStringLiteral("!?"), QStringLiteral("！？"));
                },
                [](const QString& folder) { tassik::startUp(folder); }, tassik::text::settingsFileName()};
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    const Format format = formatOf(args[1]);
    const QString folder = args[2];
    if (!format.save)
        return 2;
    const QString mode = args[3];
    if (mode == u"a" || mode == u"b") {
        if (const QString error = format.save(folder, mode == u"a" ? 'a' : 'b'); !error.isEmpty()) {
            std::fputs((error + u'\n').toUtf8().constData(), stderr);
            return 1;
        }
        std::printf("%s\n", format.fileName.toUtf8().constData());
        return 0;
    }
    format.startUp(folder);
    std::printf("started\n");
    std::fflush(stdout);
    std::string go;
    std::getline(std::cin, go);
    for (char version = 'a';; version = version == 'a' ? 'b' : 'a') {
        if (const QString error = format.save(folder, version); !error.isEmpty()) {
            std::fputs((error + u'\n').toUtf8().constData(), stderr);
            return 1;
        }
    }
}
