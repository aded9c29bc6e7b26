#include "SeedData.h"

#include "RegisterWords.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVector>

#include <cmath>
#include <functional>
#include <limits>

namespace {

using Setter = std::function<void(QModbusServer &)>;

struct Section {
    const char *name;
    int width; // registers or coils taken per value
    double min;
    double max;
    bool integral;
    std::function<void(QModbusServer &, quint16, double)> store;
};

const Section kSections[] = {
    { "coils", 1, 0, 1, true,
        [](QModbusServer &s, quint16 a, double v) { s.setData(QModbusDataUnit::Coils, a, quint16(v != 0)); } },
    { "holding", 1, -32768, 65535, true,
        [](QModbusServer &s, quint16 a, double v) {
            s.setData(QModbusDataUnit::HoldingRegisters, a, quint16(qint32(v) & 0xFFFF));
        } },
    { "int32", 2, std::numeric_limits<qint32>::min(), std::numeric_limits<quint32>::max(), true,
        [](QModbusServer &s, quint16 a, double v) {
            RegisterWords::setUInt32(s, a, v < 0 ? quint32(qint32(v)) : quint32(v));
        } },
    { "float32", 2, -std::numeric_limits<float>::max(), std::numeric_limits<float>::max(), false,
        [](QModbusServer &s, quint16 a, double v) { RegisterWords::setFloat(s, a, float(v)); } },
};

bool toNumber(const QJsonValue &value, double *out)
{
    if (value.isBool()) {
        *out = value.toBool() ? 1 : 0;
        return true;
    }
    if (!value.isDouble())
        return false;
    *out = value.toDouble();
    return true;
}

} // namespace

bool SeedData::apply(const QString &path, QModbusServer &server, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read seed file %1: %2").arg(path, file.errorString());
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        *error
            = QStringLiteral("seed file %1 is not a JSON object%2")
                  .arg(path,
                      parseError.error == QJsonParseError::NoError
                          ? QString()
                          : QStringLiteral(": %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset));
        return false;
    }

    QVector<Setter> writes;
    const QJsonObject root = doc.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        const Section *section = nullptr;
        for (const Section &candidate : kSections) {
            if (it.key() == QLatin1String(candidate.name))
                section = &candidate;
        }
        if (!section || !it.value().isObject()) {
            *error
                = QStringLiteral("seed file %1: \"%2\" is not one of coils, holding, int32, float32 holding an object")
                      .arg(path, it.key());
            return false;
        }
        const QJsonObject values = it.value().toObject();
        for (auto v = values.begin(); v != values.end(); ++v) {
            bool ok = false;
            const uint address = v.key().toUInt(&ok, 10);
            double number = 0;
            const bool fits = ok && address + uint(section->width) <= 65536u && toNumber(v.value(), &number)
                && std::isfinite(number) && number >= section->min && number <= section->max
                && (!section->integral || number == std::trunc(number));
            if (!fits) {
                *error = QStringLiteral("seed file %1: bad %2 entry \"%3\"").arg(path, it.key(), v.key());
                return false;
            }
            const auto store = section->store;
            writes.append([store, address, number](QModbusServer &s) { store(s, quint16(address), number); });
        }
    }
    for (const Setter &write : writes)
        write(server);
    return true;
}
