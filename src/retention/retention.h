#pragma once

#include "retention/prunerun.h"
#include "retention/retentionrule.h"

#include <QFutureWatcher>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

// Keeps the `cam` folder within the retention rule: prunes the saved pictures (and nothing else,
// see isSavedPicture) on a thread of its own, one pruning at a time, when started, every hour,
// when a save takes the saved pictures past the Size limit, when the rule changes, and when
// free space runs short (makeSpace). Says on the status line what it removed.
class Retention : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPeriodMs = 60 * 60 * 1000;

    explicit Retention(QString folder, QObject *parent = nullptr);
    // Stops a pruning that runs, between two files, and waits for it.
    ~Retention() override;

    // The camera names whose saved-name pattern marks a picture without metadata as saved by
    // this program; asked on the window thread at the start of each pruning.
    void setCameraNames(std::function<QStringList()> names) { m_cameraNames = std::move(names); }

    const RetentionRule &rule() const { return m_rule; }
    // Once started, a rule with a limit is applied at once.
    void setRule(const RetentionRule &rule);

    // The first pruning now, then one every kPeriodMs.
    void start();
    // Prunes now, or once more after the pruning that runs.
    void prune();
    // A picture was saved into the folder.
    void pictureSaved(const QString &path, qint64 bytes);
    // Free space is short: removes the oldest saved pictures beyond the rule too, until
    // bytesToFree are freed; spaceMade tells whether it came to that. Without a limit nothing is
    // removed and the answer is no.
    void makeSpace(qint64 bytesToFree);

    bool isIdle() const { return !m_running; }

signals:
    void statusText(const QString &text);
    void spaceMade(bool enough);
    // After each pruning that removed something: the files removed.
    void picturesRemoved(const QStringList &paths);
    // Each pruning's end, whatever it did (what could not be removed: only what was not told before).
    void pruned(const PruneOutcome &outcome);

private:
    void runNext();
    void finished();

    QString m_folder;
    std::function<QStringList()> m_cameraNames;
    RetentionRule m_rule;
    QThreadPool m_pool;
    QFutureWatcher<PruneOutcome> m_watcher;
    QTimer m_timer;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    bool m_running = false;
    bool m_again = false; // a pruning was asked for while one ran
    qint64 m_bytesToFree = 0; // of the next pruning
    qint64 m_savedBytes = -1; // the saved pictures' size as last counted and saved since; -1: not known
    QSet<QString> m_reported; // the pictures that could not be removed, as told already
};
