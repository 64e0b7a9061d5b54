#pragma once

#include "journal/JournalPlace.h"

#include <QProcess>
#include <QStringList>

#include <memory>

// journal_worker (journal_worker.cpp) started on the server database of the place.
inline std::unique_ptr<QProcess> StartWorker(const QString &mode, const JournalPlace &place, const QString &folder,
                                             const QStringList &more = {}) {
    auto worker = std::make_unique<QProcess>();
    worker->setProgram(QStringLiteral(QUILLANE_JOURNAL_WORKER));
    worker->setArguments(
        QStringList{mode, place.host, QString::number(place.port), place.user, place.database, folder} + more);
    worker->start();
    return worker;
}
