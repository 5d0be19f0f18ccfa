#include "app/demo.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "app/demo_controls.h"
#include "core/paths.h"

namespace zova::app {

namespace {

// Kept small: what a newcomer needs to see the station's rows come alive.
const char kDemoIni[] = R"(; Demo configuration of the DNC station.
; Written fresh at each demo start; copy it to /etc/zova/Zova.ini as a start
; for a real station.
[Program]
Maskiner=11
Temp=@DIR@Temp/
Logging=True
Hendelser=True
Restart=0

[Maskin1]
Navn=Fres 1
Protokoll=Standard
Port=COM1
Katalog=@DIR@Programmer/Fres1/
Ext=.NC
VenteTid=1

[Maskin2]
Navn=Dreiebenk
Protokoll=Standard
Port=COM2
Katalog=@DIR@Programmer/Dreiebenk/
Ext=.NC
VenteTid=1

[Maskin3]
Navn=Nettverk
Protokoll=KATTEMP
Katalog=@DIR@Programmer/Nettverk/
FtpFilNavn=PARENTESER
Backupdirs=1
SjekkTid=5
VentTid=2
DemoFyll=20

; An Okuma lathe: every program it is sent comes behind its "$NAME.MIN"
; header, and a "%" inside a comment of what it punches is program text.
[Maskin4]
Navn=Okuma dreiebenk
Protokoll=OKUMA
Port=COM4
Katalog=@DIR@Programmer/Okuma/
Ext=.NC
StoppKode=%
VenteTid=1

; A Heidenhain control keeps its programs on the station: it saves one and
; loads it back by the block protocol, each block acknowledged.
[Maskin5]
Navn=TNC fres
Protokoll=HEIDENHAIN
Port=COM5
Katalog=@DIR@Programmer/TNC/
Ext=.H
Melding=True

; A text terminal on the shop floor: an operator there types a program name
; for Fres 2 and orders the station to send it (TAB).
[Maskin6]
Navn=Terminal
Protokoll=TERMINAL
Port=COM6
Maskin=7
HandShake=False

[Maskin7]
Navn=Fres 2
Protokoll=Standard
Port=COM7
Katalog=@DIR@Programmer/Fres2/
Ext=.NC
MaxNull=0

; A control that speaks in telegrams (LSV2): it asks for O6000, offers
; programs of its own and reports its status now and then.
[Maskin8]
Navn=LSV2 fres
Protokoll=LSV2
Port=COM8
Katalog=@DIR@Programmer/Lsv2/
Ext=.NC

; A Mazak control: it offers and asks for its conversational programs as
; checked lines of hexadecimal text; the number inside names the file.
[Maskin9]
Navn=Mazak
Protokoll=MAZATROL
Port=COM9
Katalog=@DIR@Programmer/Mazak/

; A logging box watching Fres 1: signal 0 is the program running (its start
; records the program's name, its end code 2), signal 1 the spindle. The
; records go to Temp/MASKIN1.SDV.
[Maskin10]
Navn=Loggeboks
Protokoll=LOGGEBOKS
Port=COM10
Maskin=1
SjekkTid=1
Bit0,1=1
Bit0,0=2
Bit1,1=10
ParameterBit1,1=SPINDEL

[Maskin11]
Navn=Reserve
Protokoll=Ingen

; The demo's controls are simulated (cncsim) on pseudo-terminals; a real
; line names its device here, e.g. Enhet=/dev/ttyUSB0.
[COM1]
Enhet=@DIR@cnc1
Baud=9600
Kode=ASCII
XonXoff=True
TimeMultiplier=200

[COM2]
Enhet=@DIR@cnc2
Baud=9600
Kode=ASCII
XonXoff=True
TimeMultiplier=200

[COM4]
Enhet=@DIR@cnc4
Baud=9600
Kode=ASCII
XonXoff=True
TimeMultiplier=200

[COM5]
Enhet=@DIR@cnc5
Baud=9600
Kode=ASCII
TimeMultiplier=200

[COM6]
Enhet=@DIR@cnc6
Baud=9600
Kode=ASCII
TimeMultiplier=200

[COM7]
Enhet=@DIR@cnc7
Baud=9600
Kode=ASCII
XonXoff=True
TimeMultiplier=200

[COM8]
Enhet=@DIR@cnc8
Kode=ASCII
TimeMultiplier=200

[COM9]
Enhet=@DIR@cnc9
Baud=9600
Kode=ASCII
TimeMultiplier=200

[COM10]
Enhet=@DIR@cnc10
Baud=9600
Kode=ASCII
TimeMultiplier=200
)";

// What the demo controls ask for and what they send.
const char kRequested[] =
    "%\r\nO1000 (DEMO)\r\nG21 G90 G40\r\nT1 M6\r\nG0 X0 Y0 S1200 M3\r\nG43 Z50 H1\r\n"
    "G1 Z-2 F100\r\nG1 X40 F300\r\nG1 Y30\r\nG1 X0\r\nG1 Y0\r\nG0 Z50\r\nM30\r\n%\r\n";
const char kMillProgram[] =
    "%\r\nO2001 (BRAKETT)\r\nG21 G90\r\nT2 M6\r\nG0 X10 Y10 S2000 M3\r\nG43 Z20 H2\r\n"
    "G81 R2 Z-12 F80\r\nX30\r\nX50\r\nG80\r\nG0 Z100\r\nM30\r\n%\r\n";
const char kLatheProgram[] =
    "%\r\nO3001 (AKSEL)\r\nG21 G18 G90\r\nT0101\r\nG96 S180 M4\r\nG0 X42 Z2\r\n"
    "G71 U1.5 R0.5\r\nG71 P10 Q20 U0.4 W0.1 F0.25\r\nN10 G0 X20\r\nG1 Z-30\r\nX40 Z-40\r\n"
    "N20 X42\r\nG28 U0 W0\r\nM30\r\n%\r\n";
// The Okuma lathe's programs: the station puts the codes around them.
const char kOkumaRequested[] =
    "O5000 (OKUMA DEMO)\r\nG50 S2500\r\nG00 X200 Z200\r\nT0101\r\nG96 S180 M03\r\n"
    "G00 X62 Z2\r\nG01 Z-40 F0.25\r\nX70\r\nG00 X200 Z200\r\nM02\r\n";
// The LSV2 mill's: the one it asks for, and the one it offers.
const char kLsv2Requested[] =
    "O6000 (LSV2 DEMO)\r\nG21 G90\r\nT3 M6\r\nG0 X0 Y0 S3000 M3\r\nG1 Z-1 F200\r\n"
    "G2 X0 Y0 I10 J0\r\nG0 Z50\r\nM30\r\n";
const char kLsv2Offered[] =
    "O6001 (LOMME)\r\nG21 G90\r\nT4 M6\r\nG0 X5 Y5 S2500 M3\r\nG1 Z-3 F120\r\n"
    "X35\r\nY25\r\nX5\r\nY5\r\nG0 Z50\r\nM30\r\n";
const char kOkumaProgram[] =
    "O5001 (FLENS)\r\n(KUTT 50% MATING PAA PLANET)\r\nG50 S2000\r\nT0303\r\n"
    "G96 S150 M03\r\nG00 X82 Z0\r\nG01 X-1 F0.12\r\nG00 X200 Z200\r\nM02\r\n";
// The Heidenhain control's program, which it saves and loads back.
const char kTncProgram[] =
    "0 BEGIN PGM P100 MM\r\n1 BLK FORM 0.1 Z X+0 Y+0 Z-20\r\n2 BLK FORM 0.2 X+100 Y+100 Z+0\r\n"
    "3 TOOL CALL 1 Z S3000\r\n4 L Z+50 R0 FMAX\r\n5 L X-10 Y+50 R0 FMAX M3\r\n"
    "6 L Z-5 F500\r\n7 L X+110 F300\r\n8 L Z+50 FMAX M30\r\n9 END PGM P100 MM\r\n";

// The Mazak's program 30: sixteen lines of 128 hexadecimal digits (the
// control adds the check digits), the number in the first, least
// significant byte first.
std::string MazakProgram() {
  std::string text;
  for (int i = 0; i < 16; ++i) {
    std::string line(128, "0123456789ABCDEF"[i]);
    if (i == 0) line.replace(0, 8, "00001E00");
    text += line + "\r\n";
  }
  return text;
}

std::string DemoDir() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string base = runtime && *runtime ? runtime : "/tmp";
  return base + "/zova-demo-" + std::to_string(::getuid()) + "/";
}

}  // namespace

std::string PrepareDemo() {
  std::string dir = DemoDir();
  for (const char* sub : {"", "Temp", "Demo", "Programmer/Fres1", "Programmer/Dreiebenk",
                          "Programmer/Nettverk", "Programmer/Okuma", "Programmer/TNC",
                          "Programmer/Fres2", "Programmer/Lsv2", "Programmer/Mazak"})
    ForceDirectories(dir + sub);
  std::string text = kDemoIni;
  for (size_t p; (p = text.find("@DIR@")) != std::string::npos;) text.replace(p, 5, dir);
  // ZOVA_MQTT=host:port publishes the machines' states to that broker.
  if (const char* broker = std::getenv("ZOVA_MQTT"); broker && *broker) {
    const std::string program = "[Program]\n";
    text.insert(text.find(program) + program.size(), "MqttServer=" + std::string(broker) + "\n");
  }
  std::string ini = dir + "Zova.ini";
  std::ofstream(ini, std::ios::binary | std::ios::trunc) << text;
  for (const char* machine : {"Fres1", "Dreiebenk", "Fres2"}) {
    std::string sample = dir + "Programmer/" + machine + "/O1000.NC";
    if (!FileExists(sample)) std::ofstream(sample, std::ios::binary) << kRequested;
  }
  const std::string okumaSample = dir + "Programmer/Okuma/O5000.NC";
  if (!FileExists(okumaSample)) std::ofstream(okumaSample, std::ios::binary) << kOkumaRequested;
  const std::string lsv2Sample = dir + "Programmer/Lsv2/O6000.NC";
  if (!FileExists(lsv2Sample)) std::ofstream(lsv2Sample, std::ios::binary) << kLsv2Requested;
  std::ofstream(dir + "Demo/O6001.NC", std::ios::binary | std::ios::trunc) << kLsv2Offered;
  std::ofstream(dir + "Demo/O2001.NC", std::ios::binary | std::ios::trunc) << kMillProgram;
  std::ofstream(dir + "Demo/O5001.NC", std::ios::binary | std::ios::trunc) << kOkumaProgram;
  std::ofstream(dir + "Demo/O3001.NC", std::ios::binary | std::ios::trunc) << kLatheProgram;
  std::ofstream(dir + "Demo/P100.H", std::ios::binary | std::ios::trunc) << kTncProgram;
  std::ofstream(dir + "Demo/mazak.txt", std::ios::binary | std::ios::trunc) << MazakProgram();
  StartDemoControls(dir);
  return ini;
}

}  // namespace zova::app
