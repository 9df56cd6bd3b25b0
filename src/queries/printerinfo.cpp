#include "queries/printerinfo.h"

#include "form/text.h"
#include "queries/query.h"

#include <array>

namespace softswitch {

namespace {

inline constexpr const char* kMakerWord = "TARVENIC";

const Query kMakerQuery = {"getMakerInfo", {29, 73, 66}};
const Query kModelQuery = {"getPrinterInfo1", {29, 73, 67}};

struct InfoQuery {
    Query query;
    int label; // index into lblKR_INFO
};

// The plain queries and the value label each fills.
enum InfoRow : std::size_t { Firmware, Hours, Lines, Cuts, FailedCuts, Serial, Installed };
const std::array<InfoQuery, 7> kInfoQueries = {{
    {{"getPrinterInfo2", {29, 73, 65}}, 1},
    {{"getPrinterInfo3", {29, 103, 52, 16}}, 2},
    {{"getPrinterInfo3a", {29, 103, 52, 27}}, 6},
    {{"getPrinterInfo4", {29, 103, 52, 21}}, 3},
    {{"getPrinterInfo4", {29, 103, 52, 22}}, 7},
    {{"getPrinterInfo5", {29, 73, 68}}, 4},
    {{"getPrinterInfo5", {29, 103, 52, 9}}, 5},
}};

bool startsWithRetryMark(const std::string& text)
{
    return left(text, 2) == ";1";
}

} // namespace

bool PrinterInfo::getMakerInfo()
{
    const std::string text = Ask(m_ctx, kMakerQuery.command);
    LogReply(m_ctx, kMakerQuery, text);
    m_ctx.state.MakerString = text;
    if (upperCase(m_ctx.state.MakerString).find(kMakerWord) == std::string::npos)
        return false;
    std::string welcome = "Welcome to " + m_ctx.state.MakerString + " world.\r\n\r\nCommunication test finished.";
    if (m_ctx.state.PortType == LinkKind::Usb)
        welcome += "\r\n\r\n** Please re-Power ON the USB printer to contunue **";
    m_ctx.dialogs.tell(welcome, MsgIcon::Information);
    return true;
}

bool PrinterInfo::getPrinterInfo1()
{
    std::string text = Ask(m_ctx, kModelQuery.command);
    if (text.empty())
        text = Ask(m_ctx, kModelQuery.command);
    if (text.empty())
        return false;
    LogReply(m_ctx, kModelQuery, text);
    bool answered = true;
    if (startsWithRetryMark(text)) {
        text = Ask(m_ctx, kModelQuery.command);
        if (text.empty())
            answered = false;
        else
            LogReply(m_ctx, kModelQuery, text);
    }
    m_ctx.form.lblKR_INFO[0].setCaption(text);
    return answered;
}

bool PrinterInfo::plainQuery(std::size_t row)
{
    const InfoQuery& info = kInfoQueries.at(row);
    const std::string text = Ask(m_ctx, info.query.command);
    if (text.empty())
        return false;
    LogReply(m_ctx, info.query, text);
    m_ctx.form.lblKR_INFO[info.label].setCaption(text);
    return true;
}

bool PrinterInfo::getPrinterInfo2() { return plainQuery(Firmware); }
bool PrinterInfo::getPrinterInfo3() { return plainQuery(Hours); }
bool PrinterInfo::getPrinterInfo3a() { return plainQuery(Lines); }
bool PrinterInfo::getPrinterInfo4(std::int16_t selector) { return plainQuery(selector == 0 ? Cuts : FailedCuts); }
bool PrinterInfo::getPrinterInfo5(std::int16_t selector) { return plainQuery(selector == 0 ? Serial : Installed); }

} // namespace softswitch
