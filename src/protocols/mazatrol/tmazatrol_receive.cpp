// A program the Mazatrol control offers: line by line, each checked and
// acknowledged, the number and title read from their places (or those
// places learned), then stored, dropped, or taken as the name of the next
// program.

#include <optional>

#include "core/config/config.h"
#include "core/latin1.h"
#include "core/paths.h"
#include "core/visual.h"
#include "files/storage/safe_file.h"
#include "files/transfer/listing_files.h"
#include "protocols/mazatrol/mazatrol_framer.h"
#include "protocols/mazatrol/mazatrol_reception.h"
#include "protocols/mazatrol/mazatrol_send_lines.h"
#include "protocols/mazatrol/tmazatrol.h"

namespace zova {

using namespace mazatrol;

namespace {

constexpr int kBrokenPauseMs = 5000;
constexpr int kLearnNumberLines = 5;
constexpr int kLearnTitleLines = 10;

}  // namespace

bool TMazatrol::ReceiveMazProgram(const std::string& first) {
  ResetTransfer();
  ++ReceiveCount;
  const std::string start =
      Search.filNavnProgram ? Trim(GetCell(kColFilnavn)) : "0000" + Keys.mazExt;
  ReportCell(kColStatus, "Mottar Mazatrolprogram - " + std::to_string(ReceiveCount));
  if (Keys.mottakSperret) {
    ReportCell(kColMelding, "Mottak av program er sperret");
    return false;
  }
  bool opened = false;
  OpenReceiveFile(opened);
  if (!opened) {
    SetCell(kColMelding, L1("Umulig å åpne filen: ") + TempName);
    return false;
  }
  bool storeOk = true;
  if (Keys.saveTapeMarks) StoreLine(std::string(kTapeMark), storeOk);

  // The places this reception reads; what it learns is used at once.
  NumberPlace numberPlace = Keys.number;
  TitlePlace titlePlace = Keys.title;
  const bool learnNumber = Keys.LearnsNumber(), learnTitle = Keys.LearnsTitle();
  bool numberLearned = false, titleLearned = false;
  TitleLineFinder titleFinder(titlePlace);

  ReceptionFacts facts;
  std::string numberName, titleName, titleText, errorText;
  bool ended = false;
  std::string reply = first;
  while (storeOk && !Terminated()) {
    const bool tapeMark = KindOf(reply) == ReplyKind::TapeMark;
    if (tapeMark) {
      tapeMarkSeen_ = true;
      StoreLine(StoredForm(reply), storeOk);
    } else {
      const std::optional<std::string> line = ExtractLine(reply);
      if (!line) {
        errorText = "Protokollfeil";
        break;
      }
      if (Keys.linjeSjekk) errorText = CheckLine(*line, Keys.linjeLengde);
      if (!errorText.empty()) {
        ReportCell(kColMelding, "Feillinje: " + StrToVisual(*line));
        break;
      }
      const int lineNo = ++facts.lines;
      const std::string stored = StoredForm(*line);
      if (learnNumber && !numberLearned && lineNo <= kLearnNumberLines) {
        if (auto found = FindNumberPlace(stored)) {
          numberLearned = true;
          numberPlace = {lineNo, found->start, found->width, found->swap};
          WriteKeys(NumberPlaceKeys(lineNo, *found, static_cast<int>(stored.size())));
        }
      }
      if (learnTitle && !titleLearned && lineNo <= kLearnTitleLines) {
        if (auto found = FindTitlePlace(stored)) {
          titleLearned = true;
          titlePlace = {lineNo, stored.substr(0, 4), found->start, found->length, found->plain};
          titleFinder = TitleLineFinder(titlePlace);
          WriteKeys(TitlePlaceKeys(lineNo, stored, *found, tapeMarkSeen_));
        }
      }
      if (numberPlace.line >= 1 && lineNo == numberPlace.line) {
        if (auto n = DecodeNumber(stored, numberPlace)) {
          facts.number = Keys.hent5000 ? DropFiveThousand(*n, numberPlace.width) : *n;
          numberName =
              NumberFileName(*facts.number, numberPlace.width, Keys.kortFilNavn, Keys.mazExt);
        }
      }
      if (titleFinder.IsTitleLine(lineNo, stored)) {
        titleText = Trim(DecodeTitle(stored, titlePlace));
        titleName = TitleFileName(titleText, Keys.ekstraKommentar, Search.extraChars,
                                  Keys.mazatrolNavn ? numberPlace.width : 0, Keys.mazExt);
      }
      std::string kept = stored;
      if (!Keys.saveBcc && static_cast<int>(kept.size()) == Keys.linjeLengde &&
          CheckLine(kept, Keys.linjeLengde).empty())
        kept.resize(kept.size() - 2);
      StoreLine(kept, storeOk);
      if (!storeOk) break;
    }
    if (!Answer(tapeMark ? kAnswerRepeat : kAnswerLine, reply)) {
      errorText = "Protokollfeil";
      break;
    }
    LogNewLine();
    const WaitEnd wait = WaitMazReply(kProgramLine, kTapeMark, Keys.saveTapeMarks, reply);
    if (wait == WaitEnd::End) {
      ended = facts.complete = true;
      break;
    }
    if (wait == WaitEnd::Failed) break;
  }

  if (numberLearned) WriteKeys(LearnedEndKeys(facts.lines, Keys.henteProgramNr, !twoEot_));
  // The next reception reads what was learned.
  if (numberLearned || titleLearned) Keys = ReadMazatrolKeys(IniSection(SectionName));
  FlushConsole();
  ReportCell(kColStatus, L1("Overføring avsluttet"));

  facts.storeOk = storeOk;
  facts.lagreLinjer = Keys.lagreLinjer;
  facts.henteProgramNr = Keys.henteProgramNr;
  std::string name =
      ReceptionName(start, Search.filNavnProgram ? "" : numberName,
                    Search.filNavnProgram ? "" : titleName, Keys.mazatrolNavn, IsNameNumber(facts));
  bool closed = false;
  switch (OutcomeOf(facts)) {
    case Outcome::StoreFailed:
      CloseFile(closed);
      RemoveFile(TempName);
      SetCell(kColMelding, "Lagringsfeil");
      break;
    case Outcome::Broken:
      CloseFile(closed);
      RemoveFile(TempName);
      SetCell(kColMelding, errorText.empty()
                               ? std::string("Avbrutt pga. timeout")
                               : "Avbrutt pga. feil i mottatte data (" + errorText + ")");
      Pause(kBrokenPauseMs);
      DrainLine();
      break;
    case Outcome::Program: {
      if (!GuardName(name, true)) name = "0000" + Keys.mazExt;
      SetFileName(name);
      std::string dir;
      ResolveDir(!UtKatalog && !InnKatalog, TransferName, dir);
      const std::string target = dir + TransferName;
      bool tooShort = false, ok = false;
      CloseReceiveFile(true, static_cast<int>(Com.CharCount), tooShort, ok);
      if (!ok) {
        SetCell(kColMelding, "Lagringsfeil - renaming");
        break;
      }
      SetCell(kColMelding, "Program lagret");
      if (!titleText.empty() &&
          !EnterInArticleIndex(DirOf(target), FileNameOf(target), {"", titleText}))
        LogEvent(false, "ArtIndex.Bin: " + DirOf(target));
      break;
    }
    case Outcome::NameMessage: {
      CloseFile(closed);
      RemoveFile(TempName);
      if (!GuardName(name, false)) name = "0000" + Keys.mazExt;
      SetFileName(name);
      if (Keys.robot >= 1) {
        const std::string robotSection = "Maskin" + std::to_string(Keys.robot);
        const int width = RobotNameWidth(IniSection(SectionName), IniSection(robotSection));
        const std::string file = FileNameOf(name);
        const int dot = ExtPos(file);
        std::string base = dot > 0 ? file.substr(0, static_cast<size_t>(dot - 1)) : file;
        const std::string ext = dot > 0 ? file.substr(static_cast<size_t>(dot - 1)) : "";
        if (width > 0 && base.size() < static_cast<size_t>(width))
          base.insert(0, static_cast<size_t>(width) - base.size(), '0');
        SetCellAt(Keys.robot, kColFilnavn, base + ext);
        SetCellAt(Keys.robot, kColStatus, "Robotnavn");
        SetCellAt(Keys.robot, kColMelding, "Filnavn mottatt");
      }
      SetCell(kColMelding, "Filnavn mottatt");
      break;
    }
  }
  return ended;
}

}  // namespace zova
