// The post of an entry line: every refusal stops the post before the later
// steps and keeps what the earlier steps wrote; the same-account rule; the
// sequence and balancing value of new lines; what a post leaves behind.
#include "lines_fixture.h"

TEST_F(LinesTest, HeaderRefusalsComeBeforeTheMapAndKeepTheHeaderValuesWritten) {
    Open("01", EntryOf("01"));
    f->edtNDoc->SetText("");
    f->stUltDocu.clear();
    NewLine("3110100001", "301", 70);
    EXPECT_FALSE(Post());
    EXPECT_EQ(Shown(), "erro:Documento deve ser informado.");
    EXPECT_EQ(f->ActiveControl(), f->edtNDoc);
    EXPECT_EQ(f->cdsLancCont->State(), dsInsert);
    EXPECT_EQ(DateToStr(f->cdsLancContDTLANCCONT->AsDateTime()), "02/01/2024");  // step 1 stays
    EXPECT_FALSE(Called("ValidaMapa"));

    HeadlessServices().Clear();
    f->edtNDoc->SetText("NF9");
    f->stUltDocu.clear();
    f->depDtLancCont->SetDate(0);
    EXPECT_FALSE(Post());
    EXPECT_EQ(Shown(), "erro:Data do lançamento contábil deve ser informada.");
    EXPECT_EQ(f->cdsLancContCDDOCUCONT->AsString(), "NF9");  // step 2 stays
    EXPECT_FALSE(Called("ValidaMapa"));
}

TEST_F(LinesTest, TheMapAndThePeriodsStopThePostBeforeTheAccountIsRead) {
    Open("01", EntryOf("01"));
    mapaErro = true;
    NewLine("3110100001", "999", 70);
    EXPECT_FALSE(Post());
    EXPECT_EQ(Shown(),
              "erro:Operação não permitida ! O Lançamento está relacionado ao mapa de "
              "apuração Janeiro/2024-Imposto: ICMS.");
    EXPECT_EQ(f->cdsLancContCDCONTREDU->AsString(), "999");  // CODREDU_N not reached
    EXPECT_EQ(f->cdsMapaApurac->RecordCount(), 1);
    EXPECT_EQ(HeadlessServices().BusyDepth(), 0);

    HeadlessServices().Clear();
    mapaErro = false;
    f->depDtLancCont->SetDate(Day(2025, 1, 2));
    EXPECT_FALSE(Post());
    EXPECT_EQ(Shown(), "erro:Data de lançamento fora do período contábil.");
    EXPECT_TRUE(Called("ValidaMapa"));
}

TEST_F(LinesTest, AccountHistoryAndValueRefusalsKeepWhatTheAccountStepCompleted) {
    Open("01", EntryOf("01"));
    NewLine("", "301", 70);
    EXPECT_FALSE(Post());
    EXPECT_EQ(Shown(), "erro:Conta contábil deve ser informada.");

    HeadlessServices().Clear();
    Fill("3110100001", "999", 70, "0001");
    EXPECT_FALSE(Post());
    EXPECT_EQ(Shown(), "erro:Código reduzido não cadastrado.");
    EXPECT_EQ(f->dbgLancCont->SelectedField(), f->cdsLancContCDCONTREDU);

    // A reduced code of another account gives way to the account's own; the
    // history refusal then keeps that completion.
    HeadlessServices().Clear();
    Fill("3110100001", "101", 70, "");
    EXPECT_FALSE(Post());
    EXPECT_EQ(Shown(), "erro:Histórico Padrão deve ser informado.");
    EXPECT_EQ(f->cdsLancContCDCONTREDU->AsString(), "301");
    EXPECT_EQ(f->cdsLancContNMCONTCTBL->AsString(), "DESPESAS ADMINISTRATIVAS");
    EXPECT_EQ(f->cdsLancContIDCONTCCUS->AsString(), "G");

    HeadlessServices().Clear();
    Fill("3110100001", "301", 70, "0099");
    EXPECT_FALSE(Post());
    EXPECT_EQ(Shown(), "erro:Histórico padrão não cadatrado.");

    HeadlessServices().Clear();
    Fill("3110100001", "301", 0.004, "0001");
    EXPECT_FALSE(Post());
    EXPECT_EQ(Shown(), "erro:Valor da partida deve ser diferente de zero.");
    EXPECT_EQ(f->dbgLancCont->SelectedField(), f->cdsLancContVRLANCAMENT);
    EXPECT_EQ(f->cdsLancContVRLANCAMENT->AsFloat(), 0.0);
    EXPECT_EQ(f->cdsLancContIDLANCINTE->AsString(), "M");  // from the insert; flags not yet rewritten
}

TEST_F(LinesTest, AnAccountThatIsNotAnalyticIsRefusedWithTheFocusOnTheAccount) {
    Open("01", EntryOf("01"));
    NewLine("11101", "301", 70);
    EXPECT_FALSE(Post());
    EXPECT_NE(Shown(), "");
    EXPECT_EQ(f->dbgLancCont->SelectedField(), f->cdsLancContCDCONTCTBL);
    EXPECT_EQ(f->cdsLancCont->State(), dsInsert);
}

TEST_F(LinesTest, ANewLineGetsTheNextSequenceTheBalanceAndTheManualFlags) {
    Open("01", EntryOf("01"));
    ASSERT_TRUE(Dispatch([&] { f->cdsLancCont->Append(); }));
    EXPECT_EQ(f->nrProxSeq, 3);
    EXPECT_DOUBLE_EQ(f->cdsLancContVRLANCAMENT->AsFloat(), -70.0);
    EXPECT_EQ(f->cdsLancContVRLANCAMENT->DisplayText(), "70,00 DB");
    EXPECT_EQ(f->cdsLancContNRSEQLANC->AsString(), "00003");
    EXPECT_EQ(f->cdsLancContCDEMPRESA->AsString(), "01");
    EXPECT_EQ(f->cdsLancContNRLANCCONT->AsString(), "202401000001");
    EXPECT_EQ(f->cdsLancContCDDOCUCONT->AsString(), "DOC1");
    EXPECT_EQ(f->dbgLancCont->SelectedField(), f->cdsLancContCDCONTREDU);

    Fill("1110100001", "101", -70, "0001");
    ASSERT_TRUE(Post()) << Shown();
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(f->cdsLancContNRSEQLANC->AsString(), "00003");
    EXPECT_EQ(f->cdsLancContIDLANCMANI->AsString(), "N");
    EXPECT_EQ(f->cdsLancContIDLANCINTE->AsString(), "M");
    EXPECT_EQ(f->cdsLancContIDLANCSALDO->AsString() + f->cdsLancContIDSALDLANCO->AsString() +
                  f->cdsLancContIDSALDLANGE->AsString(),
              "NNN");
    EXPECT_EQ(f->cdsLancContIDCONTCCUS->AsString(), "");
    EXPECT_TRUE(f->boAlterado);
    EXPECT_EQ(f->cdsLancCont->ChangeCount(), 0);
    EXPECT_DOUBLE_EQ(f->ndeCredito->Number(), 100.0);
    EXPECT_DOUBLE_EQ(f->ndeDebito->Number(), 100.0);
    EXPECT_EQ(f->cdsLancContEspelho->RecordCount(), 3);
}

TEST_F(LinesTest, ALineInsertedAboveAnotherNeverRepeatsASequence) {
    Open("02", EntryOf("02"));
    f->cdsLancCont->First();
    ASSERT_TRUE(Dispatch([&] { f->cdsLancCont->Insert(); }));
    Fill("3110100001", "301", 5, "0001");
    ASSERT_TRUE(Post()) << Shown();
    f->cdsLancCont->First();
    ASSERT_TRUE(Dispatch([&] { f->cdsLancCont->Insert(); }));
    Fill("3110100001", "301", -5, "0001");
    ASSERT_TRUE(Post()) << Shown();
    std::vector<std::string> seqs;
    for (f->cdsLancCont->First(); !f->cdsLancCont->Eof(); f->cdsLancCont->Next())
        seqs.push_back(f->cdsLancContNRSEQLANC->AsString());
    std::sort(seqs.begin(), seqs.end());
    EXPECT_EQ(seqs, (std::vector<std::string>{"00001", "00002", "00003", "00004"}));
}

// A gap in the sequences (a line deleted) must not lead to the next
// sequence being one already taken.
TEST_F(LinesTest, TheNextSequenceFollowsTheHighestEvenAfterAGap) {
    Open("02", {{"02", "202401000001", "00001", "1110100002", 100.0, "M", ""},
                {"02", "202401000001", "00003", "1110100001", -30.0, "M", ""}});
    ASSERT_TRUE(Dispatch([&] { f->cdsLancCont->Append(); }));
    EXPECT_EQ(f->cdsLancContNRSEQLANC->AsString(), "00004");
}

TEST_F(LinesTest, OneEntryNeverDebitsAndCreditsTheSameAccountUnlessTheCompanyAllowsIt) {
    Open("03", EntryOf("03"));
    const std::string filtro = f->cdsDebitoCredito->Filter();
    NewLine("1110100002", "102", -10);  // line 1 credits it
    EXPECT_FALSE(Post());
    EXPECT_EQ(Shown(),
              "erro:Não é possível, no mesmo lançamento, terem partidas de débito e crédito "
              "para a mesma conta.");
    EXPECT_EQ(f->dbgLancCont->SelectedField(), f->cdsLancContCDCONTCTBL);
    EXPECT_EQ(f->cdsDebitoCredito->Filter(), filtro);
    EXPECT_TRUE(f->cdsDebitoCredito->Filtered());

    // A credit next to a credit is fine; so is a line that changes its own sign.
    HeadlessServices().Clear();
    Fill("1110100002", "102", 10, "0001");
    EXPECT_TRUE(Post()) << Shown();
    f->cdsLancCont->First();
    ASSERT_TRUE(Dispatch([&] { f->cdsLancCont->Edit(); }));
    Fill("1110100002", "102", -100, "0001");
    EXPECT_FALSE(Post());  // the other credit (line 3) still holds the account
}

// The copy the rule reads holds the line as it was before this edit: its own
// earlier sign does not count against it.
TEST_F(LinesTest, ALineThatChangesItsOwnSignIsNotItsOwnOtherSide) {
    Open("03", {{"03", "202401000001", "00001", "1110100002", 100.0, "M", ""},
                {"03", "202401000001", "00002", "1110100001", -100.0, "M", ""}});
    f->cdsLancCont->First();
    ASSERT_TRUE(Dispatch([&] { f->cdsLancCont->Edit(); }));
    Fill("1110100002", "102", -100, "0001");
    EXPECT_TRUE(Post()) << Shown();
}

TEST_F(LinesTest, ACompanyThatAllowsItDebitsAndCreditsOneAccount) {
    Open("02", {{"02", "202401000001", "00001", "1110100002", 100.0, "M", ""}});
    NewLine("1110100002", "102", -100);
    EXPECT_TRUE(Post()) << Shown();
}

TEST_F(LinesTest, CommercialCodesAreRequiredOrClearedByCompany) {
    Open("03", EntryOf("03"));  // company 03 keeps no commercial codes
    NewLine("1110100002", "102", 5);
    f->cdsLancContCDCONTCOME->SetAsString("001");
    ASSERT_TRUE(Post()) << Shown();
    EXPECT_EQ(f->cdsLancContCDCONTCOME->AsString(), "");
}

TEST_F(LinesTest, ACompanyWithCommercialCodesRequiresTheCodeItsAccountCallsFor) {
    Open("01", EntryOf("01"));
    NewLine("1110100002", "102", 5);
    EXPECT_FALSE(Post());
    EXPECT_EQ(Shown(), "erro:Código comercial deve ser informado.");
    EXPECT_EQ(f->cdsLancContIDLANCCOME->AsString(), "B");
    EXPECT_EQ(f->dbgLancCont->SelectedField(), f->cdsLancContCDCONTCOME);
}

TEST_F(LinesTest, AnEditedLineIsMarkedManipulatedAndItsHistoryRemembered) {
    Open("03", EntryOf("03"));
    f->cdsLancCont->First();
    ASSERT_TRUE(Dispatch([&] { f->cdsLancCont->Edit(); })) << Shown();
    Fill("1110100002", "102", 100, "0001");
    f->cdsLancContDSHISTLANC->SetAsString("texto");
    ASSERT_TRUE(Post()) << Shown();
    EXPECT_EQ(f->cdsLancContIDLANCMANI->AsString(), "S");
    EXPECT_EQ(f->cdsLancContNRSEQLANC->AsString(), "00001");
    ASSERT_TRUE(Dispatch([&] { f->cdsLancCont->Edit(); }));
    EXPECT_EQ(f->stHistAnt, "0001");
    EXPECT_EQ(f->stDsHistAnt, "texto");
}

TEST_F(LinesTest, AccountsWithoutApportionmentCloseThePanelAndDropTheLinesApportionment) {
    Open("03", EntryOf("03"));
    using enum TFieldType;
    TDataPacket rat({{"CDEMPRESA", ftString, 2},
                     {"NRLANCCONT", ftString, 12},
                     {"NRSEQLANC", ftString, 5},
                     {"VRLANCCUST", ftFloat, 0}});
    rat.AppendRow({Variant("03"), Variant("202401000001"), Variant("00001"), Variant(100.0)});
    f->cdsLancCCusto->Data(rat);
    f->pnlLancCCusto->Enabled = true;
    f->cdsLancCont->First();
    ASSERT_TRUE(Dispatch([&] { f->cdsLancCont->Edit(); }));
    Fill("1110100002", "102", 100, "0001");
    ASSERT_TRUE(Post()) << Shown();
    EXPECT_FALSE(f->pnlLancCCusto->Enabled);
    EXPECT_EQ(f->cdsLancCCusto->RecordCount(), 0);
}

TEST_F(LinesTest, LeavingTheHeaderWithoutDocumentOrDateIsRefusedSilently) {
    Open("01", EntryOf("01"));
    f->boNovoLanc = true;
    f->edtNDoc->SetText("");
    EXPECT_FALSE(Dispatch([&] { f->panDadosExit(nullptr); }));
    EXPECT_EQ(Shown(), "msg:Documento deve ser informado.");
    EXPECT_FALSE(f->tshFolhaDados->Enabled);

    HeadlessServices().Clear();
    f->edtNDoc->SetText("NF1");
    f->depDtLancCont->SetDate(0);
    EXPECT_FALSE(Dispatch([&] { f->panDadosExit(nullptr); }));
    EXPECT_EQ(Shown(), "msg:Data do lançamento contábil deve ser informada.");

    f->depDtLancCont->SetDate(Day(2024, 3, 5));
    EXPECT_TRUE(Dispatch([&] { f->panDadosExit(nullptr); }));
    EXPECT_EQ(DateToStr(f->dtUltLanc), "05/03/2024");
}
