#pragma once
// Reads this test program through AT-SPI as a screen reader does, with tests/support/atspi_read.py, while
// the event loop keeps running so that Qt's accessibility bridge can answer. Needs an X server and the
// accessibility bus (tests/support/screen-reader-session.sh); see the script for its commands.
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace pelmora::test {

struct AtSpiReading {
    static constexpr int NO_PYATSPI = 77;
    int exitCode = -1;  // the script's, -1 when it crashed or was killed
    QString output;     // its standard output and error
};

AtSpiReading ReadOverAtSpi(const QString& command, const QString& argument, int timeoutMs = 20000);

}  // namespace pelmora::test
