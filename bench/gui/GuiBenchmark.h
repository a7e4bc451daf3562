// How each desktop benchmark starts: a settings store of its own, so that no
// stored default of the user's changes what is timed; the application; and
// the book to time, the largest of the corpus unless one is named.
#pragma once

#include <QApplication>
#include <QTemporaryDir>

#include <string>

struct GuiBenchmark {
    GuiBenchmark(int& argc, char** argv)
        : isolated(qputenv("XDG_CONFIG_HOME", store.path().toLocal8Bit())), app(argc, argv),
          source(argc > 1 ? argv[1] : FOLIVO_CORPUS_DIR "/war-and-peace-2600-0.txt")
    {
    }

    QTemporaryDir store;
    bool isolated;
    QApplication app;
    std::string source;
};
