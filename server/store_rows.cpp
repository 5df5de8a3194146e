// Prepared inserts of entry lines and apportionment lines.
#include "server/store_rows.h"

namespace ctbstore {

struct TEntryWriter::Impl {
    explicit Impl(soci::session& sql) : lineStmt(sql), rateioStmt(sql) {
        lineStmt.exchange(soci::use(line.Empresa, "emp"));
        lineStmt.exchange(soci::use(line.NrLanc, "nr"));
        lineStmt.exchange(soci::use(line.NrSeq, "seq"));
        lineStmt.exchange(soci::use(line.FilLanc, "fil"));
        lineStmt.exchange(soci::use(line.HistPadr, "hist"));
        lineStmt.exchange(soci::use(line.ContCtbl, "conta"));
        lineStmt.exchange(soci::use(line.DtLanc, "dt"));
        lineStmt.exchange(soci::use(line.Docu, "docu"));
        lineStmt.exchange(soci::use(line.TipoLanc, "tipo"));
        lineStmt.exchange(soci::use(line.DsHist, "dshist"));
        lineStmt.exchange(soci::use(cents, "vr"));
        lineStmt.exchange(soci::use(line.LancCome, "idcome"));
        lineStmt.exchange(soci::use(line.LancSaldo, "saldo"));
        lineStmt.exchange(soci::use(line.LancInte, "inte"));
        lineStmt.exchange(soci::use(line.LancMani, "mani"));
        lineStmt.exchange(soci::use(line.ContCome, "cdcome"));
        lineStmt.exchange(soci::use(line.OperIns, "oper"));
        lineStmt.exchange(soci::use(line.UltAtu, "ultatu"));
        lineStmt.exchange(soci::use(line.SaldLanco, "sldlanco"));
        lineStmt.exchange(soci::use(line.SaldLange, "sldlange"));
        lineStmt.exchange(soci::use(line.Sistema, "sist"));
        lineStmt.alloc();
        lineStmt.prepare(
            "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDFILLANC, CDHISTPADR,"
            " CDCONTCTBL, DTLANCCONT, CDDOCUCONT, IDTIPOLANC, DSHISTLANC, VRLANCAMENT,"
            " IDLANCCOME, IDLANCSALDO, IDLANCINTE, IDLANCMANI, CDCONTCOME, CDOPERINS,"
            " DTULTATULAN, IDSALDLANCO, IDSALDLANGE, IDSISTEMA)"
            " VALUES (:emp, :nr, :seq, :fil, :hist, :conta, :dt, :docu, :tipo, :dshist, :vr,"
            " :idcome, :saldo, :inte, :mani, :cdcome, :oper, :ultatu, :sldlanco, :sldlange,"
            " :sist)");
        lineStmt.define_and_bind();

        rateioStmt.exchange(soci::use(rateio.Empresa, "emp"));
        rateioStmt.exchange(soci::use(rateio.NrLanc, "nr"));
        rateioStmt.exchange(soci::use(rateio.NrSeq, "seq"));
        rateioStmt.exchange(soci::use(rateio.Filial, "fil"));
        rateioStmt.exchange(soci::use(rateio.CentCust, "cc"));
        rateioStmt.exchange(soci::use(rateioCents, "vr"));
        rateioStmt.exchange(soci::use(rateio.DtComp, dtCompInd, "dt"));
        rateioStmt.alloc();
        rateioStmt.prepare(
            "INSERT INTO LANCCCUSTO (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDFILIAL, CDCENTCUST,"
            " VRLANCCUST, DTCOMPCUSTO) VALUES (:emp, :nr, :seq, :fil, :cc, :vr, :dt)");
        rateioStmt.define_and_bind();
    }

    TStoredLine line;
    long long cents = 0;
    TStoredRateio rateio;
    long long rateioCents = 0;
    soci::indicator dtCompInd = soci::i_ok;
    soci::statement lineStmt;
    soci::statement rateioStmt;
};

TEntryWriter::TEntryWriter(soci::session& sql) : impl_(std::make_unique<Impl>(sql)) {}
TEntryWriter::~TEntryWriter() = default;

void TEntryWriter::Insert(const TStoredLine& line) {
    impl_->line = line;
    impl_->cents = line.Cents;
    impl_->lineStmt.execute(true);
}

void TEntryWriter::Insert(const TStoredRateio& rateio) {
    impl_->rateio = rateio;
    impl_->rateioCents = rateio.Cents;
    impl_->dtCompInd = rateio.DtComp.empty() ? soci::i_null : soci::i_ok;
    impl_->rateioStmt.execute(true);
}

}  // namespace ctbstore
