// The release records side by side and the verdict on them.
#include "app/vm_ver32Main.h"

#include "platform/CodePage.h"
#include "platform/DateConvert.h"

void TForm1::FormShowINF()
{
    const double today = DateConvert::Today();
    const TReleaseRecord installed = TReleaseRecord::Read(ProductIni.FileName.FullName);
    const std::string local = LocalRelease.Assign(installed, today);
    const TReleaseRecord server = TReleaseRecord::Read(NewsInf.Local.FileName.FullName);
    const std::string serverText = ServerRelease.Assign(server, today);
    // Every date is read before the display changes: one that is no date ends it here.
    const TVerdict verdict = UpdateVerdict(installed, server, today);
    View.SetProgramText(Cp("\nTwój program:\n ") + local + "\n\n\n" + " Aktualny program:" + "\n" + " " + serverText);
    View.SetVerdictText("");
    View.SetVerdictText(std::string(VerdictText(verdict)));
    switch (verdict) {
    case TVerdict::UpdateWaiting:
        View.SetVerdictLook(TVerdictLook::UpdateWaiting);
        View.ShowIndicator(TIndicator::ProgramOld);
        break;
    case TVerdict::UpToDate:
        View.SetVerdictLook(TVerdictLook::UpToDate);
        View.ShowIndicator(TIndicator::ProgramAkt);
        break;
    case TVerdict::Outdated:
        // Neither indicator may vouch for a file past its last valid day,
        // not even one an earlier check showed.
        View.SetVerdictLook(TVerdictLook::UpdateWaiting);
        View.ResetIndicators();
        break;
    }
}
