// Uses a little of each public header: the main class, the class factory, the resize object and
// the control layer (whose Qt classes must come through with their meta-objects). Prints
// "consumer ok" when everything answered as it should, else says what did not.
#include <cstdio>

#include <QApplication>

#include <tovcore/TypeLibrary.h>
#include <tovcore/clsTovcore.h>
#include <tovcore/clsTvResizeForm.h>
#include <tovcore/controls.h>

namespace {

int Fail(const char* what) {
    std::printf("failed: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    tovcore::clsTovcore& t = tovcore::Global();
    if (t.FixPath(" folder ") != "folder/") return Fail("FixPath");
    if (t.ConvertSecondsToHHMMSS(3661) != "01:01:01") return Fail("ConvertSecondsToHHMMSS");

    auto resize = tovcore::CreateObjectAs<tovcore::clsTvResizeForm>("Tovcore.clsTvResizeForm");
    if (!resize) return Fail("CreateObjectAs");

    tovcore::ui::Form form(QStringLiteral("frmConsumer"));
    form.Move(0, 0, 3000, 2000);
    auto* ok = new tovcore::ui::MyButton(&form, QStringLiteral("cmdOk"));
    ok->Move(100, 100, 4500, 495);
    if (tovcore::ui::TypeName(ok) != QLatin1String("MyButton")) return Fail("TypeName");
    if (!qobject_cast<tovcore::ui::CommandButton*>(ok)) return Fail("qobject_cast");
    resize->InitResizeArray(&form);
    resize->ResizeControls(&form);
    if (ok->Width() >= 4500) return Fail("ResizeControls");

    std::printf("consumer ok\n");
    return 0;
}
