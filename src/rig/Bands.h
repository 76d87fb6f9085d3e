#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Amateur bands by the names ADIF gives them, and frequencies as the status
// line and ADIF write them. No widgets.
namespace Bands {

// The ADIF band holding `hz` ("20m" for 14070500), empty outside every band.
QString FromHz(qint64 hz);
// The band names offered when no rig tells the band, longest wave first.
QStringList Names();
// "14.0705": MHz with four decimals.
QString Mhz4(qint64 hz);
// "14.070500": MHz with six decimals, as ADIF's FREQ takes it.
QByteArray AdifFreq(qint64 hz);
// The rig pane: "14.0705 MHz  20m" (no band: the frequency alone).
QString PaneText(qint64 hz);

} // namespace Bands
