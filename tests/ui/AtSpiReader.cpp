#include "tests/ui/AtSpiReader.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QProcess>
#include <QtTest/QTest>

namespace pelmora::test {

AtSpiReading ReadOverAtSpi(const QString& command, const QString& argument, int timeoutMs) {
    QProcess reader;
    reader.setProcessChannelMode(QProcess::MergedChannels);
    reader.start(
        QStringLiteral(PELMORA_SYSTEM_PYTHON),
        {QStringLiteral(PELMORA_ATSPI_READ), command, QString::number(QCoreApplication::applicationPid()), argument});
    if (!QTest::qWaitFor([&] { return reader.state() == QProcess::NotRunning; }, timeoutMs)) reader.kill();
    reader.waitForFinished(2000);
    AtSpiReading reading;
    reading.exitCode = reader.exitStatus() == QProcess::NormalExit ? reader.exitCode() : -1;
    reading.output = QString::fromUtf8(reader.readAll());
    return reading;
}

}  // namespace pelmora::test
