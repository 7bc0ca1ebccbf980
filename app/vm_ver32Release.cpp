// The release records side by side and the verdict on them.
#include "app/vm_ver32Main.h"

#include "platform/CodePage.h"
#include "platform/DateConvert.h"

void TForm1::FormShowINF()
{
    const double today = DateConvert::Today();
    const TReleaseRecord installed = TReleaseRecord::Read(ProductIni);
    const std::string local = LocalRelease.Assign(installed, today);
    const TReleaseRecord server = TReleaseRecord::Read(NewsInf.Local);
    const std::string serverText = ServerRelease.Assign(server, today);
    View.SetProgramText(Cp("\nTwój program:\n ") + local + "\n\n\n" + " Aktualny program:" + "\n" + " " + serverText);
    View.SetVerdictText("");
    switch (UpdateVerdict(installed, server, today)) {
    case TVerdict::UpdateWaiting:
        View.SetVerdictText(" Zaktualizuj program !!!");
        View.SetVerdictLook(TVerdictLook::UpdateWaiting);
        View.ShowIndicator(TIndicator::ProgramOld);
        break;
    case TVerdict::UpToDate:
        View.SetVerdictText("Aktualizacja niepotrzebna");
        View.SetVerdictLook(TVerdictLook::UpToDate);
        View.ShowIndicator(TIndicator::ProgramAkt);
        break;
    }
}
