// Progressive AC scans: the encoder's passes over a band, and the public
// data-unit coders, whose end-of-band state lives in the component. The
// coding itself is progressivecoder.inc, one of the scan kernels.

#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/scankernels.h"
#include "imaging/jpeg/scanpass.h"

void TJpegEncoder::AcPass(const TScanJob &job, TTableSet *counts, TJpegBitWriter *writer, TRowReporter *reporter,
                          TScanResume &state, const TPassRows &rows) const
{
    const TJpegEncoderComponent &component = *job.Components[0];
    const size_t table = size_t(AcIndex(component));
    TAcPass pass;
    pass.Component = &component;
    pass.Refine = job.Kind == TScanJob::AcRefine;
    pass.Ss = job.Ss;
    pass.Se = job.Se;
    pass.Al = job.Al;
    pass.RowBegin = rows.Begin;
    pass.RowEnd = rows.End;
    pass.Eob = &state.Eob;
    pass.RecordRow = rows.RecordAt;
    pass.Record = rows.Record ? &rows.Record->Eob : nullptr;
    if (reporter) {
        pass.RowDone = [](void *context) { static_cast<TRowReporter *>(context)->Row(); };
        pass.Context = reporter;
    }
    const TJpegScanKernels &kernels = ScanKernels();
    if (writer) {
        pass.Code = FHuffmanTables[table].FCode.data();
        pass.Size = FHuffmanTables[table].FCodeLength.data();
        pass.Writer = writer;
        kernels.EmitAc(pass);
    } else {
        pass.Counts = (*counts)[table].FCounts.data();
        kernels.CountAc(pass);
    }
}

namespace {

// The public coders keep their end-of-band state in the component.
struct TComponentEob {
    TJpegEncoderComponent &Component;
    TEobState State;

    explicit TComponentEob(TJpegEncoderComponent &component)
        : Component(component),
          State{component.FEobRun, component.FEobStartRow, component.FEobStartCol, component.FEobStartPos}
    {
    }
    ~TComponentEob()
    {
        Component.FEobRun = State.Run;
        Component.FEobStartRow = State.StartRow;
        Component.FEobStartCol = State.StartCol;
        Component.FEobStartPos = State.StartPos;
    }
};

} // namespace

void TJpegEncoder::ClearEobRun(TJpegEncoderComponent &component)
{
    TComponentEob eob(component);
    eob.State.Clear(component);
}

void TJpegEncoder::CodeAcFirst(TJpegEncoderComponent &component, uint32_t row, uint32_t col, TAcProcedure ac,
                               int ss, int se, int al)
{
    TComponentEob eob(component);
    AcFirstBlockThrough(component, eob.State, row, col, ac, ss, se, al);
}

void TJpegEncoder::CodeAcRefine(TJpegEncoderComponent &component, uint32_t row, uint32_t col, TAcProcedure ac,
                                int ss, int se, int al)
{
    TComponentEob eob(component);
    AcRefineBlockThrough(component, eob.State, row, col, ac, ss, se, al);
}

void TJpegEncoder::EmitEobRun(TJpegEncoderComponent &component, TAcProcedure ac)
{
    TComponentEob eob(component);
    EobRunThrough(component, eob.State, ac);
}

void TJpegEncoder::EmitRefineEobRun(TJpegEncoderComponent &component, TAcProcedure ac, int ss, int se, int al)
{
    TComponentEob eob(component);
    RefineEobRunThrough(component, eob.State, ac, ss, se, al);
}
