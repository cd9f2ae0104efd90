#include "tests/printer/receipts.h"

#include "blackmark/core/blackmarkcommand.h"
#include "console/quicktests/quicktestbytes.h"
#include "headadjust/headcommands.h"
#include "platform/codepage.h"
#include "printer/core/decoder.h"

#include <QString>

#include <cmath>
#include <cstdlib>

namespace printertest {

using namespace std::string_literals;

namespace {

std::string joined(const std::vector<std::string>& writes) {
    std::string bytes;
    for (const std::string& w : writes)
        bytes += w;
    return bytes;
}

} // namespace

std::string sample58() {
    return quicktests::sampleReceipt(quicktests::Paper::Mm58);
}

std::string sample80() {
    return quicktests::sampleReceipt(quicktests::Paper::Mm80);
}

std::string barcodeTest(bool code128, const std::string& content) {
    const auto writes = quicktests::barcodeWrites(
        code128 ? quicktests::Code128Index : quicktests::Code39Index, content);
    return writes ? joined(*writes) : std::string();
}

std::string blackMarkTestPrint() {
    std::string bytes;
    for (const auto& step : halmbrook::TestPrint::steps()) {
        if (step.kind == halmbrook::TestPrintStep::Kind::Write)
            bytes += step.bytes;
    }
    return bytes;
}

std::string headAdjustment() {
    std::string bytes;
    for (const auto& writes : {headadjust::PrintParameterEffects(), headadjust::SetHeadParameter(4),
                               headadjust::PrintEffectTest(headadjust::ChannelKind::Serial)}) {
        for (const auto& w : writes)
            bytes += w;
    }
    return bytes;
}

std::string richReceipt(int lines) {
    const auto gbk = [](const char* utf8) {
        return codepage::fromUnicode(QString::fromUtf8(utf8));
    };
    std::string b = "\x1B\x40";
    // A 64 x 32 raster logo: a frame with a diagonal.
    std::string logo = "\x1D\x76\x30\x00\x08\x00\x20\x00"s;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 8; ++x) {
            unsigned char byte = (y < 2 || y > 29) ? 0xFF : 0;
            if (x == 0)
                byte |= 0xC0;
            if (x == 7)
                byte |= 0x03;
            if (x == y / 4)
                byte |= static_cast<unsigned char>(0x80 >> (y % 8));
            logo += static_cast<char>(byte);
        }
    }
    b += "\x1B\x61\x01" + logo;
    b += "\x1D\x21\x11" + gbk("好运来超市") + "\n\x1D\x21\x00"s;
    b += "\x1B\x45\x01" + gbk("销售小票") + "\x1B\x45\x00\n\x1B\x61\x00"s;
    for (int i = 1; i <= lines; ++i) {
        b += gbk(QStringLiteral("%1. 商品%2  x%3   %4.50\n")
                     .arg(i, 3)
                     .arg(i)
                     .arg(i % 5 + 1)
                     .arg(i * 3 % 97)
                     .toUtf8()
                     .constData());
        if (i % 25 == 0)
            b += "\x1B\x2D\x01" + gbk("小计（已下划线）") + "\x1B\x2D\x00\n"s;
    }
    b += "\x1B\x61\x01";
    const std::string url = "https://example.com/receipt/20240601-0001";
    b += "\x1D\x28\x6B\x04\x00\x31\x41\x32\x00"s;
    b += "\x1D\x28\x6B\x03\x00\x31\x43\x06"s;
    b += "\x1D\x28\x6B\x03\x00\x31\x45\x31"s;
    const std::size_t n = url.size() + 3;
    b += "\x1D\x28\x6B";
    b += static_cast<char>(n & 0xFF);
    b += static_cast<char>(n >> 8);
    b += "\x31\x50\x30" + url;
    b += "\x1D\x28\x6B\x03\x00\x31\x51\x30"s;
    b += "\x0A" + barcodeTest(true, "NO.20240601") + "\x1B\x61\x00"s;
    b += "\x1B\x64\x03\x1D\x56\x42\x00"s;
    return b;
}

std::vector<posprinter::Receipt> renderAll(const std::string& stream,
                                           posprinter::PaperWidth paper) {
    posprinter::Decoder decoder;
    posprinter::ReceiptRenderer renderer(paper);
    const auto sink = [&](posprinter::DecodedItem&& item) { renderer.render(item); };
    decoder.feed(stream, sink);
    decoder.finish(sink);
    std::vector<posprinter::Receipt> receipts = renderer.takeFinished();
    renderer.finishOpen(receipts);
    return receipts;
}

::testing::AssertionResult matchesGolden(const QImage& image, const std::string& name) {
    const char* data = std::getenv("POSKIT_TEST_DATA");
    const QString path =
        QString::fromStdString(std::string(data ? data : "tests/data") + "/printer/" + name);
    if (std::getenv("POSKIT_UPDATE_GOLDEN") != nullptr) {
        if (!image.save(path, "PNG"))
            return ::testing::AssertionFailure() << "cannot write " << path.toStdString();
        return ::testing::AssertionSuccess();
    }
    const QImage golden(path);
    if (golden.isNull())
        return ::testing::AssertionFailure() << "no golden image " << path.toStdString();
    if (golden.size() != image.size())
        return ::testing::AssertionFailure()
               << name << ": size " << image.width() << "x" << image.height() << ", golden "
               << golden.width() << "x" << golden.height();
    const QImage a = image.convertToFormat(QImage::Format_Grayscale8);
    const QImage b = golden.convertToFormat(QImage::Format_Grayscale8);
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* ra = a.constScanLine(y);
        const uchar* rb = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x)
            differing += std::abs(int(ra[x]) - int(rb[x])) > 85 ? 1 : 0;
    }
    const qint64 allowed = qint64(a.width()) * a.height() * 3 / 1000;
    if (differing > allowed) {
        image.save(QStringLiteral("%1.actual.png").arg(QString::fromStdString(name)), "PNG");
        return ::testing::AssertionFailure()
               << name << ": " << differing << " pixels differ (allowed " << allowed
               << "); the image is in " << name << ".actual.png";
    }
    return ::testing::AssertionSuccess();
}

} // namespace printertest
