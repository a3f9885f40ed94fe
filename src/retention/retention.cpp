#include "retention/retention.h"

#include "common/localtext.h"

#include <QDateTime>
#include <QLocale>
#include <QTime>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <utility>

namespace {

constexpr int kSizeDecimals = 1;

// "12:00:01 removed 340 old pictures (1.2 GiB)", then what could not be removed.
QString outcomeText(const PruneOutcome &outcome)
{
    QString text = LongTimeText(QTime::currentTime());
    if (!outcome.removed.isEmpty()) {
        const qsizetype n = outcome.removed.size();
        text += QStringLiteral(" removed %1 old %2 (%3)")
                    .arg(n)
                    .arg(n == 1 ? QStringLiteral("picture") : QStringLiteral("pictures"))
                    .arg(QLocale::c().formattedDataSize(outcome.removedBytes, kSizeDecimals));
    }
    if (!outcome.notRemoved.isEmpty()) {
        const qsizetype n = outcome.notRemoved.size();
        text += (outcome.removed.isEmpty() ? QString() : QStringLiteral(";")) +
            QStringLiteral(" kept %1 old %2 that could not be removed (%3%4)")
                .arg(n)
                .arg(n == 1 ? QStringLiteral("picture") : QStringLiteral("pictures"))
                .arg(outcome.notRemoved.first(), n > 1 ? QStringLiteral(", ...") : QString());
    }
    return text;
}

} // namespace

Retention::Retention(QString folder, QObject *parent)
    : QObject(parent)
    , m_folder(std::move(folder))
    , m_cancel(std::make_shared<std::atomic<bool>>(false))
{
    // Disk work of its own: a long folder never holds up the picture workers' decodes.
    m_pool.setMaxThreadCount(1);
    m_timer.setInterval(kPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &Retention::prune);
    connect(&m_watcher, &QFutureWatcher<PruneOutcome>::finished, this, &Retention::finished);
}

Retention::~Retention()
{
    m_cancel->store(true);
    m_pool.waitForDone();
}

void Retention::setRule(const RetentionRule &rule)
{
    m_rule = rule;
    if (m_timer.isActive())
        prune();
}

void Retention::start()
{
    m_timer.start();
    prune();
}

void Retention::prune()
{
    if (!m_rule.hasLimit())
        return;
    if (m_running) {
        m_again = true;
        return;
    }
    runNext();
}

void Retention::pictureSaved(const QString & /*path*/, qint64 bytes)
{
    if (m_savedBytes < 0)
        return;
    m_savedBytes += bytes;
    if (m_rule.kind == RetentionRule::Kind::Size && m_savedBytes > m_rule.limitBytes() && !m_running)
        prune();
}

void Retention::makeSpace(qint64 bytesToFree)
{
    if (!m_rule.hasLimit()) {
        emit spaceMade(false);
        return;
    }
    m_bytesToFree = std::max(m_bytesToFree, bytesToFree);
    prune();
}

void Retention::runNext()
{
    m_running = true;
    m_again = false;
    const qint64 bytesToFree = m_bytesToFree;
    m_bytesToFree = 0;
    m_watcher.setFuture(QtConcurrent::run(
        &m_pool,
        [folder = m_folder, names = m_cameraNames ? m_cameraNames() : QStringList(), rule = m_rule,
         now = QDateTime::currentDateTime(), bytesToFree,
         cancel = m_cancel] { return runPruning(folder, names, rule, now, bytesToFree, cancel.get()); }));
}

void Retention::finished()
{
    PruneOutcome outcome = m_watcher.result();
    m_running = false;
    m_savedBytes = outcome.savedBytesLeft;
    // A picture that stays is named once, not at every pruning.
    QStringList unreported;
    for (const QString &kept : std::as_const(outcome.notRemoved)) {
        if (!m_reported.contains(kept)) {
            m_reported.insert(kept);
            unreported.append(kept);
        }
    }
    outcome.notRemoved = unreported;
    if (!outcome.removed.isEmpty() || !outcome.notRemoved.isEmpty())
        emit statusText(outcomeText(outcome));
    if (!outcome.removed.isEmpty())
        emit picturesRemoved(outcome.removed);
    if (outcome.bytesToFree > 0)
        emit spaceMade(outcome.removedBytes >= outcome.bytesToFree);
    emit pruned(outcome);
    if (!m_rule.hasLimit() && m_bytesToFree > 0) {
        m_bytesToFree = 0;
        emit spaceMade(false);
    } else if (m_rule.hasLimit() && (m_again || m_bytesToFree > 0)) {
        runNext();
    }
}
