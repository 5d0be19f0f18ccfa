#include "app/demo.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "core/paths.h"

namespace zova::app {

namespace {

// Kept small: what a newcomer needs to see the station's rows come alive.
const char kDemoIni[] = R"(; Demo configuration of the DNC station.
; Written fresh at each demo start; copy it to /etc/zova/Zova.ini as a start
; for a real station.
[Program]
Maskiner=4
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

[Maskin2]
Navn=Dreiebenk
Protokoll=Standard
Port=COM2
Katalog=@DIR@Programmer/Dreiebenk/
Ext=.NC

[Maskin3]
Navn=Nettverk
Protokoll=KATTEMP
Katalog=@DIR@Programmer/Nettverk/
FtpFilNavn=PARENTESER
Backupdirs=1
SjekkTid=5
VentTid=2
DemoFyll=20

[Maskin4]
Navn=Reserve
Protokoll=Ingen

[COM1]
Baud=9600

[COM2]
Baud=9600
)";

std::string DemoDir() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string base = runtime && *runtime ? runtime : "/tmp";
  return base + "/zova-demo-" + std::to_string(::getuid()) + "/";
}

}  // namespace

std::string PrepareDemo() {
  std::string dir = DemoDir();
  for (const char* sub :
       {"", "Temp", "Programmer/Fres1", "Programmer/Dreiebenk", "Programmer/Nettverk"})
    ForceDirectories(dir + sub);
  std::string text = kDemoIni;
  for (size_t p; (p = text.find("@DIR@")) != std::string::npos;) text.replace(p, 5, dir);
  std::string ini = dir + "Zova.ini";
  std::ofstream(ini, std::ios::binary | std::ios::trunc) << text;
  std::string sample = dir + "Programmer/Fres1/O1000.NC";
  if (!FileExists(sample))
    std::ofstream(sample, std::ios::binary) << "%\r\nO1000 (DEMO)\r\nG0 X0 Y0\r\nM30\r\n%\r\n";
  return ini;
}

}  // namespace zova::app
