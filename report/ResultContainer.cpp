#include "report/ResultContainer.h"

#include "base/FileReplacement.h"
#include "base/Messages.h"
#include "report/RowColours.h"

namespace tandemix {
namespace {

constexpr std::string_view kContainerStart =
    "<!-- Tandemix: Rahmen der Ergebnisseiten -->\r\n"
    "<HTA:APPLICATION ID=\"Tandemix\"    APPLICATIONNAME=\"Tandemix\"    BORDER=\"thick\"    "
    "BORDERSTYLE=\"normal\"    CAPTION=\"yes\"    ICON=\"tandemix.ico\"    "
    "MAXIMIZEBUTTON=\"yes\"    MINIMIZEBUTTON=\"yes\"    SHOWINTASKBAR=\"yes\"    "
    "SINGLEINSTANCE=\"no\"    SYSMENU=\"yes\"    WINDOWSTATE=\"maximize\">"
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
    "<HTML>\r\n"
    "<HEAD>\r\n"
    "<TITLE> Tandemix Ergebnisse  </TITLE>\r\n"
    "<style type='text/css'>\r\n"
    "<!--\r\n"
    ".N { background-color:white; }\r\n";
// The row colour rules stand here.
constexpr std::string_view kContainerEnd =
    "-->\r\n"
    "</style>\r\n"
    "</HEAD>\r\n"
    "<FRAMESET rows=\"90,*\" border=\"1\" FRAMESPACING=\"0\" TOPMARGIN=\"0\" LEFTMARGIN=\"0\" "
    "MARGINHEIGHT=\"0\" MARGINWIDTH=\"0\">\r\n"
    "<FRAME name=\"top\" src=\"";
// The top page's name stands here.
constexpr std::string_view kTopFrameEnd =
    "\" scrolling=\"no\" border=\"0\" "
    "frameborder=\"no\" noresize TOPMARGIN=\"4\" LEFTMARGIN=\"4\" MARGINHEIGHT=\"4\" "
    "MARGINWIDTH=\"4\" APPLICATION=\"yes\"></FRAME>\r\n"
    "<FRAMESET name=\"main\" cols=\"*,*\" border=\"0\" frameborder=\"1\" FRAMESPACING=\"5\" "
    "TOPMARGIN=\"0\" LEFTMARGIN=\"0\" MARGINHEIGHT=\"0\" MARGINWIDTH=\"0\">\r\n"
    "<FRAME name=\"frame0\" src=\"";
// The first side page's name stands here.
constexpr std::string_view kFrame0End =
    "\" TOPMARGIN=\"0\" LEFTMARGIN=\"0\" "
    "MARGINHEIGHT=\"0\" MARGINWIDTH=\"0\" FRAMEBORDER=\"1\" BORDER=\"0\" "
    "APPLICATION=\"yes\"></FRAME>\r\n"
    "<FRAME name=\"frame1\" src=\"";
// The second side page's name stands here.
constexpr std::string_view kFrame1End =
    "\" TOPMARGIN=\"0\" LEFTMARGIN=\"0\" "
    "MARGINHEIGHT=\"0\" MARGINWIDTH=\"0\" FRAMEBORDER=\"1\" BORDER=\"0\" "
    "BORDERCOLOR=\"#3366cc\" APPLICATION=\"yes\"></FRAME>\r\n"
    "</FRAMESET>\r\n"
    "</FRAMESET>\r\n"
    "</HTML>\r\n";

}  // namespace

std::string_view ContainerText() {
    // Built once from its parts; the text never changes.
    static const std::string text = [] {
        std::string built(kContainerStart);
        AppendRowColourRules(built, "background-color");
        built.append(kContainerEnd).append(kTopPageName).append(kTopFrameEnd);
        built.append(kPage1Name).append(kFrame0End).append(kPage2Name);
        return built.append(kFrame1End);
    }();
    return text;
}

bool WriteResultContainer(const std::string& path, MessageSink& messages) {
    if (ReplaceFile(path, ContainerText())) {
        return true;
    }
    messages.Warn(messages::CannotOpenFile(path));
    return false;
}

std::string_view ContainerName(ContainerForm form) {
    return form == ContainerForm::Hta ? kHtaContainerName : kHtmlContainerName;
}

}  // namespace tandemix
