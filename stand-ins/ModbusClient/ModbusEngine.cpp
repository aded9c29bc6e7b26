#include "ModbusEngine.h"
#include "LogText.h"
#include "ModbusConstants.h"
#include "ValueCodec.h"

namespace {

QString failureText(const Outcome &outcome)
{
    switch (outcome.status) {
    case Outcome::Status::Exception:
        return LogText::exceptionName(outcome.exceptionCode);
    case Outcome::Status::Invalid:
        return QStringLiteral("应答无效");
    case Outcome::Status::Timeout:
        return LogText::timeout();
    default:
        return LogText::linkDown();
    }
}

// Answers that may come from one address or from the size of a merged request.
bool isRefusal(const Outcome &outcome)
{
    return outcome.status == Outcome::Status::Invalid
        || (outcome.status == Outcome::Status::Exception
            && (outcome.exceptionCode == 0x02 || outcome.exceptionCode == 0x03));
}

QString pollSubject(const QString &what)
{
    return QStringLiteral("定时读取 ") + what;
}

constexpr int kValuesShownPerRead = 10;

} // namespace

ModbusEngine::ModbusEngine(const LinkParams &params, QObject *parent)
    : QObject(parent)
    , m_link(params, m_callbacks)
    , m_queue(m_link)
    , m_scheduler(m_reads, m_planner, m_queue, m_link)
{
    connect(&m_queue, &RequestQueue::finished, this, &ModbusEngine::onFinished);
    connect(&m_link, &ModbusLink::dropped, this, &ModbusEngine::onDropped);
    connect(&m_link, &ModbusLink::opened, this, [this] {
        m_scheduler.wake();
        m_queue.pump();
    });
    connect(&m_scheduler, &PollScheduler::cycleCompleted, this, &ModbusEngine::onCycleCompleted);
}

ModbusEngine::~ModbusEngine()
{
    shutdown(false);
}

bool ModbusEngine::open()
{
    return m_link.openNow();
}

bool ModbusEngine::isConnected() const
{
    return !m_closed && m_link.isOpen();
}

void ModbusEngine::close()
{
    if (m_closed)
        return;
    m_callbacks.log(QStringLiteral("已关闭 %1").arg(m_link.params().describe()));
    const bool deferred = m_callbacks.inCallback();
    shutdown(deferred);
}

void ModbusEngine::shutdown(bool deferred)
{
    m_closed = true;
    m_callbacks.mute();
    m_scheduler.stop();
    m_queue.close();
    m_reads.clear();
    m_link.close(deferred);
}

bool ModbusEngine::setReadResultCallback(ReadResultCallback fn, void *ctx)
{
    if (m_closed)
        return false;
    m_callbacks.setReadResult(fn, ctx);
    return true;
}

bool ModbusEngine::setLogCallback(LogCallback fn, void *ctx)
{
    if (m_closed)
        return false;
    m_callbacks.setLog(fn, ctx);
    return true;
}

QString ModbusEngine::refusal(int kind, int addr, int nb) const
{
    const ValueCodec::KindInfo info = ValueCodec::kindInfo(kind);
    if (!info.known)
        return QStringLiteral("不支持的地址类型");
    if (nb < 1 || nb > ValueCodec::maxItemsPerRead(kind))
        return QStringLiteral("数量无效");
    if (addr < 0 || addr + nb * info.width > 0x10000)
        return QStringLiteral("地址超出范围");
    return {};
}

bool ModbusEngine::readData(int kind, int addr, int nb)
{
    if (m_closed)
        return false;
    const QString item = QStringLiteral("读取 ") + LogText::itemText(kind, addr, nb);
    const QString refused = refusal(kind, addr, nb);
    if (!refused.isEmpty()) {
        m_callbacks.log(QStringLiteral("%1 被拒绝: %2").arg(item, refused));
        return false;
    }
    if (!m_link.isOpen()) {
        m_callbacks.log(QStringLiteral("%1 失败: %2").arg(item, LogText::notConnected()));
        return false;
    }
    Request request;
    request.origin = Request::Origin::Read;
    request.kind = kind;
    request.addr = addr;
    request.nb = nb;
    request.block = ReadBlock::of({ { kind, addr, nb } });
    request.unit = QModbusDataUnit(request.block.table, addr, quint16(request.block.count));
    m_queue.pushUrgent(request);
    return true;
}

bool ModbusEngine::startTimerRead(int kind, int addr, int nb)
{
    if (m_closed)
        return false;
    const QString refused = refusal(kind, addr, nb);
    if (!refused.isEmpty()) {
        m_callbacks.log(QStringLiteral("定时读取 %1 被拒绝: %2").arg(LogText::itemText(kind, addr, nb), refused));
        return false;
    }
    m_reads.start(kind, addr, nb);
    m_scheduler.wake();
    return true;
}

bool ModbusEngine::stopTimerRead(int kind, int addr)
{
    if (m_closed)
        return false;
    const bool known = m_reads.stop(kind, addr);
    if (known && !m_reads.isActive(kind, addr))
        m_faults.forget(pollSubject(LogText::itemText(kind, addr)));
    return known;
}

bool ModbusEngine::stopAllTimerRead()
{
    if (m_closed)
        return false;
    m_reads.clear();
    m_faults.clear();
    m_queue.clearPoll();
    m_scheduler.abort();
    return true;
}

bool ModbusEngine::writeData(int kind, int addr, const std::shared_ptr<QVariantList> &values)
{
    if (m_closed)
        return false;
    const QString item = QStringLiteral("写入 ") + LogText::itemText(kind, addr);
    if (!values || values->size() != 1) {
        m_callbacks.log(QStringLiteral("%1 被拒绝: 需要 1 个值").arg(item));
        return false;
    }
    QString refused = refusal(kind, addr, 1);
    const ValueCodec::Encoded encoded = ValueCodec::encode(kind, values->first());
    if (refused.isEmpty() && !encoded.ok)
        refused = encoded.error;
    if (!refused.isEmpty()) {
        m_callbacks.log(QStringLiteral("%1 值 %2 被拒绝: %3").arg(item, values->first().toString(), refused));
        return false;
    }
    if (!m_link.isOpen()) {
        // Never kept for later: a value sent long after the operator pressed the button is a hazard.
        m_callbacks.log(QStringLiteral("%1 值 %2 失败: %3").arg(item, encoded.text, LogText::notConnected()));
        return false;
    }
    Request request;
    request.origin = Request::Origin::Write;
    request.kind = kind;
    request.addr = addr;
    request.valueText = encoded.text;
    request.unit = QModbusDataUnit(ValueCodec::kindInfo(kind).table, addr, encoded.words);
    m_queue.pushUrgent(request);
    return true;
}

void ModbusEngine::onFinished(const Request &request, const Outcome &outcome)
{
    if (m_closed)
        return;
    if (outcome.answered())
        noteAnswer();
    switch (request.origin) {
    case Request::Origin::Write:
        writeDone(request, outcome);
        break;
    case Request::Origin::Read:
        readDone(request, outcome);
        break;
    case Request::Origin::Poll:
        pollDone(request, outcome);
        break;
    }
    if (m_closed)
        return;
    if (outcome.status == Outcome::Status::LinkLost && m_link.isOpen())
        m_link.drop(QStringLiteral("请求被中止"), false);
}

void ModbusEngine::writeDone(const Request &request, const Outcome &outcome)
{
    const QString item
        = QStringLiteral("写入 %1 值 %2").arg(LogText::itemText(request.kind, request.addr), request.valueText);
    if (outcome.status == Outcome::Status::Ok)
        m_callbacks.log(item + QStringLiteral(": 成功"));
    else
        m_callbacks.log(QStringLiteral("%1 失败: %2").arg(item, failureText(outcome)));
    if (outcome.status == Outcome::Status::Timeout)
        noteTimeout(item, false);
}

void ModbusEngine::readDone(const Request &request, const Outcome &outcome)
{
    const QString item = QStringLiteral("读取 ") + LogText::itemText(request.kind, request.addr, request.nb);
    if (outcome.status != Outcome::Status::Ok) {
        m_callbacks.log(QStringLiteral("%1 失败: %2").arg(item, failureText(outcome)));
        if (outcome.status == Outcome::Status::Timeout)
            noteTimeout(item, false);
        return;
    }
    QStringList texts;
    if (!deliver(request.block, outcome.values, false, &texts))
        return;
    if (texts.size() > kValuesShownPerRead) {
        texts = texts.mid(0, kValuesShownPerRead);
        texts << QStringLiteral("…");
    }
    m_callbacks.log(QStringLiteral("%1: %2").arg(item, texts.join(QStringLiteral(", "))));
}

void ModbusEngine::pollDone(const Request &request, const Outcome &outcome)
{
    const ReadBlock &block = request.block;
    switch (outcome.status) {
    case Outcome::Status::Ok:
        if (!deliver(block, outcome.values, true, nullptr))
            return;
        if (block.distinctStarts() == 1 && m_planner.clearBad(block.table, block.start)) {
            const FaultRuns::Ended run = m_faults.end(badSubject(block));
            if (run.count > 0)
                m_callbacks.log(QStringLiteral("%1 恢复正常 (此前失败 %2 次)").arg(run.subject).arg(run.count));
        }
        break;
    case Outcome::Status::Exception:
    case Outcome::Status::Invalid: {
        ReadBlock first, second;
        if (isRefusal(outcome) && m_planner.split(block, &first, &second)) {
            // One refused address must not blank its neighbours: retry the halves in this cycle.
            Request a = request, b = request;
            a.block = first;
            a.unit = QModbusDataUnit(first.table, first.start, quint16(first.count));
            b.block = second;
            b.unit = QModbusDataUnit(second.table, second.start, quint16(second.count));
            m_queue.pushPollFront({ a, b });
            break;
        }
        QString subject;
        if (isRefusal(outcome)) {
            m_planner.markBad(block.table, block.start);
            subject = badSubject(block);
        } else {
            subject = pollSubject(LogText::rangeText(block.table, block.start, block.count));
        }
        if (m_faults.occurred(subject, failureText(outcome)))
            m_callbacks.log(QStringLiteral("%1 失败: %2").arg(subject, failureText(outcome)));
        break;
    }
    case Outcome::Status::Timeout:
        noteTimeout(pollSubject(LogText::rangeText(block.table, block.start, block.count)), true);
        break;
    case Outcome::Status::LinkLost:
        break;
    }
}

bool ModbusEngine::deliver(const ReadBlock &block, const QVector<quint16> &values, bool onlyTimed, QStringList *texts)
{
    for (const ReadItem &item : block.items) {
        if (onlyTimed && !m_reads.isActive(item.kind, item.addr))
            continue; // stopped while the request was on its way
        const int width = ValueCodec::kindInfo(item.kind).width;
        for (int i = 0; i < item.nb; ++i) {
            const int addr = item.addr + i * width;
            const ValueCodec::Value value = ValueCodec::decode(item.kind, values, addr - block.start);
            if (texts)
                texts->append(ValueCodec::valueText(item.kind, value));
            if (!m_callbacks.deliver(item.kind, addr, value))
                return false;
        }
    }
    return true;
}

void ModbusEngine::onDropped()
{
    m_scheduler.abort();
    m_timeoutStreak = 0;
    m_streakLogged = false;
    m_queue.failAll();
}

void ModbusEngine::onCycleCompleted()
{
    for (const FaultRuns::Ended &run : m_faults.sweep()) {
        m_callbacks.log(QStringLiteral("%1 恢复正常 (此前失败 %2 次)").arg(run.subject).arg(run.count));
        if (m_closed)
            return;
    }
}

void ModbusEngine::noteAnswer()
{
    if (m_timeoutStreak > 0 && m_streakLogged && !m_link.isLost())
        m_callbacks.log(QStringLiteral("通讯恢复 (此前连续超时 %1 次)").arg(m_timeoutStreak));
    m_timeoutStreak = 0;
    m_streakLogged = false;
    m_link.answered();
}

void ModbusEngine::noteTimeout(const QString &subject, bool logFirst)
{
    ++m_timeoutStreak;
    if (m_timeoutStreak == 1 && !m_link.isLost()) {
        if (logFirst)
            m_callbacks.log(QStringLiteral("%1 失败: %2").arg(subject, LogText::timeout()));
        m_streakLogged = true;
    }
    if (m_timeoutStreak >= ModbusConst::kTimeoutsForLinkLoss) {
        const int streak = m_timeoutStreak;
        m_timeoutStreak = 0;
        m_streakLogged = false;
        m_link.drop(QStringLiteral("连续 %1 次无应答").arg(streak), true);
    }
}

QString ModbusEngine::badSubject(const ReadBlock &block) const
{
    const ReadItem &first = block.items.first();
    return pollSubject(LogText::itemText(first.kind, first.addr));
}
