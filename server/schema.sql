-- Suite database: the reference tables that the journal-entry module reads and
-- the entry tables that the application server owns.
--
-- Runs unchanged on SQLite 3 and PostgreSQL 15, and may be run again on an
-- existing database (every object is created only when missing).
--
-- Conventions:
--   * codes are fixed-width texts stored without edit-mask literals;
--   * amounts are BIGINT cents (exact); a positive amount is a credit, a
--     negative one a debit;
--   * dates are DATE, stored by SQLite as 'YYYY-MM-DD' text; the last-update
--     stamp is TIMESTAMP, 'YYYY-MM-DD HH:MM:SS.mmm' (older rows may lack the
--     milliseconds);
--   * one-character flags take 'S' / 'N'; an absent flag is '' (never NULL
--     when the server writes it).
-- The statement splitter of the store cuts at ';' outside comments, so no
-- statement may contain a semicolon inside a literal.

-- ---------------------------------------------------------------- reference

CREATE TABLE IF NOT EXISTS EMPRESA (
    CDEMPRESA      VARCHAR(2)  NOT NULL PRIMARY KEY,
    NMEMPRESA      VARCHAR(40) NOT NULL,
    NRINSJUREMPR   VARCHAR(20),
    NMCIDADE       VARCHAR(30),
    SGESTADO       VARCHAR(2)
);

-- Accounting parameters, one row per company: the accounting period
-- (DTINICCONT..DTFINACONT) and the posting period (DTINICLANC..DTFINALANC)
-- bound every entry date, both inclusive.
CREATE TABLE IF NOT EXISTS CONTOPECTBL (
    CDEMPRESA      VARCHAR(2)  NOT NULL PRIMARY KEY REFERENCES EMPRESA (CDEMPRESA),
    DTINICLANC     DATE,
    DTFINALANC     DATE,
    DTINICRELA     DATE,
    DTFINARELA     DATE,
    DTINICCONT     DATE,
    DTFINACONT     DATE,
    IDSALDEMPR     VARCHAR(1),
    IDCONTGERE     VARCHAR(1),
    IDCONTCOME     VARCHAR(1),
    IDSUGRAT       VARCHAR(1),
    IDMSMCONTADBCR VARCHAR(1)
);

CREATE TABLE IF NOT EXISTS HISTPADR (
    CDHISTPADR     VARCHAR(4)  NOT NULL PRIMARY KEY,
    DSHISTPADR     VARCHAR(60) NOT NULL
);

-- IDTPIJURCLIE / IDTPIJURFORN: 'F' person (CPF, 11 digits), 'J' company
-- (CNPJ, 14 digits); the registration number is stored as digits only.
CREATE TABLE IF NOT EXISTS CLIENTE (
    CDCLIENTE      VARCHAR(21) NOT NULL PRIMARY KEY,
    NMRAZSOCCLIE   VARCHAR(50) NOT NULL,
    NRINSJURCLIE   VARCHAR(20),
    IDTPIJURCLIE   VARCHAR(1)
);

CREATE TABLE IF NOT EXISTS FORNECEDOR (
    CDFORNECED     VARCHAR(21) NOT NULL PRIMARY KEY,
    NRINSJURFORN   VARCHAR(20),
    NMRAZSOCFORN   VARCHAR(40) NOT NULL,
    IDTPIJURFORN   VARCHAR(1)
);

CREATE TABLE IF NOT EXISTS BANCO (
    CDBANCO        VARCHAR(3)  NOT NULL PRIMARY KEY,
    NMBANCO        VARCHAR(30) NOT NULL
);

-- Bank accounts; a line's commercial code of kind 'B' is CDREDUCONT.
CREATE TABLE IF NOT EXISTS CONTCORR (
    CDBANCO        VARCHAR(3)  NOT NULL REFERENCES BANCO (CDBANCO),
    CDAGENCIA      VARCHAR(5)  NOT NULL,
    CDCONTCORR     VARCHAR(10) NOT NULL,
    DSCONTCORR     VARCHAR(20),
    CDREDUCONT     VARCHAR(3)  NOT NULL,
    PRIMARY KEY (CDBANCO, CDAGENCIA, CDCONTCORR)
);
CREATE UNIQUE INDEX IF NOT EXISTS CONTCORR_REDU ON CONTCORR (CDREDUCONT);

CREATE TABLE IF NOT EXISTS FILIAL (
    CDFILIAL       VARCHAR(4)  NOT NULL PRIMARY KEY,
    NMFILIAL       VARCHAR(30) NOT NULL
);

CREATE TABLE IF NOT EXISTS CENTCUST (
    CDCENTCUST     VARCHAR(4)  NOT NULL PRIMARY KEY,
    NMCENTCUST     VARCHAR(40) NOT NULL
);

-- The branches in which a cost centre may be used.
CREATE TABLE IF NOT EXISTS CENTCUSTFIL (
    CDCENTCUST     VARCHAR(4)  NOT NULL REFERENCES CENTCUST (CDCENTCUST),
    CDFILIAL       VARCHAR(4)  NOT NULL REFERENCES FILIAL (CDFILIAL),
    PRIMARY KEY (CDCENTCUST, CDFILIAL)
);
CREATE INDEX IF NOT EXISTS CENTCUSTFIL_FIL ON CENTCUSTFIL (CDFILIAL);

-- The branches that belong to a company (getEmprRelac).
CREATE TABLE IF NOT EXISTS EMPRFILIAL (
    CDEMPRESA      VARCHAR(2)  NOT NULL REFERENCES EMPRESA (CDEMPRESA),
    CDFILIAL       VARCHAR(4)  NOT NULL REFERENCES FILIAL (CDFILIAL),
    PRIMARY KEY (CDEMPRESA, CDFILIAL)
);

-- Chart of accounts. CDCONTCTBL without literals: a synthetic account has the
-- code of its level ('1', '11', '111', '11101'), an analytic one ten digits.
-- IDTIPOCONT 'A' analytic / 'S' synthetic; CDNVCONTCTBL the level digit;
-- IDCONTCCUS the cost-centre kind ('G', 'R' apportionment required, 'L'
-- allowed, 'O' never, '' none); IDTIPOCOME the commercial-code type ('C'
-- client, 'F' supplier, 'B' bank account, '' none). Only analytic accounts
-- have a reduced code.
CREATE TABLE IF NOT EXISTS CONTCTBL (
    CDCONTCTBL     VARCHAR(20) NOT NULL PRIMARY KEY,
    CDCONTREDU     VARCHAR(20),
    NMCONTCTBL     VARCHAR(40) NOT NULL,
    CDRATEIO       VARCHAR(3),
    CDNVCONTCTBL   VARCHAR(1)  NOT NULL,
    IDTIPOCONT     VARCHAR(1)  NOT NULL,
    IDCONTCCUS     VARCHAR(1),
    IDTIPOCOME     VARCHAR(1)
);
CREATE INDEX IF NOT EXISTS CONTCTBL_REDU ON CONTCTBL (CDCONTREDU);

-- ---------------------------------------------------------------- entries

-- Entry lines (partidas). An entry is the set of lines of one
-- CDEMPRESA + NRLANCCONT; its lines add up to zero. The account's name,
-- reduced code and kinds are read from CONTCTBL, never copied here.
CREATE TABLE IF NOT EXISTS LANCCONT (
    CDEMPRESA      VARCHAR(2)   NOT NULL,
    NRLANCCONT     VARCHAR(12)  NOT NULL,
    NRSEQLANC      VARCHAR(5)   NOT NULL,
    CDFILLANC      VARCHAR(4),
    CDHISTPADR     VARCHAR(4),
    CDCONTCTBL     VARCHAR(20)  NOT NULL,
    DTLANCCONT     DATE         NOT NULL,
    CDDOCUCONT     VARCHAR(20),
    IDTIPOLANC     VARCHAR(1),
    DSHISTLANC     VARCHAR(600),
    VRLANCAMENT    BIGINT       NOT NULL CHECK (VRLANCAMENT <> 0),
    IDLANCCOME     VARCHAR(1),
    IDLANCSALDO    VARCHAR(1),
    IDLANCINTE     VARCHAR(1),
    IDLANCMANI     VARCHAR(1),
    CDCONTCOME     VARCHAR(21),
    CDOPERINS      VARCHAR(12),
    DTULTATULAN    TIMESTAMP,
    IDSALDLANCO    VARCHAR(1),
    IDSALDLANGE    VARCHAR(1),
    IDSISTEMA      VARCHAR(3),
    PRIMARY KEY (CDEMPRESA, NRLANCCONT, NRSEQLANC)
);
CREATE INDEX IF NOT EXISTS LANCCONT_DATA ON LANCCONT (CDEMPRESA, DTLANCCONT);
CREATE INDEX IF NOT EXISTS LANCCONT_CONTA ON LANCCONT (CDEMPRESA, CDCONTCTBL, DTLANCCONT);
CREATE INDEX IF NOT EXISTS LANCCONT_DOCU ON LANCCONT (CDEMPRESA, CDDOCUCONT);

-- Apportionment (rateio) of a management line over branch and cost centre;
-- the amounts of one line add up to the line's amount.
CREATE TABLE IF NOT EXISTS LANCCCUSTO (
    CDEMPRESA      VARCHAR(2)   NOT NULL,
    NRLANCCONT     VARCHAR(12)  NOT NULL,
    NRSEQLANC      VARCHAR(5)   NOT NULL,
    CDFILIAL       VARCHAR(4)   NOT NULL,
    CDCENTCUST     VARCHAR(4)   NOT NULL,
    VRLANCCUST     BIGINT       NOT NULL CHECK (VRLANCCUST <> 0),
    DTCOMPCUSTO    DATE,
    PRIMARY KEY (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDFILIAL, CDCENTCUST)
);
CREATE INDEX IF NOT EXISTS LANCCCUSTO_FIL ON LANCCCUSTO (CDEMPRESA, CDFILIAL, CDCENTCUST);

-- Entries produced by a batch or a closing, with the batch that owns them.
-- Such entries are maintained by the batch screens only.
CREATE TABLE IF NOT EXISTS LANCCONTLOTE (
    CDEMPRESA      VARCHAR(2)   NOT NULL,
    NRLANCCONT     VARCHAR(12)  NOT NULL,
    CDLOTE         VARCHAR(12)  NOT NULL,
    PRIMARY KEY (CDEMPRESA, NRLANCCONT)
);

-- Entries used by a tax assessment map (month name, year, tax).
CREATE TABLE IF NOT EXISTS LANCCONTMAPA (
    CDEMPRESA      VARCHAR(2)   NOT NULL,
    NRLANCCONT     VARCHAR(12)  NOT NULL,
    MES            VARCHAR(9)   NOT NULL,
    ANO            VARCHAR(4)   NOT NULL,
    IMPOSTO        VARCHAR(6)   NOT NULL,
    PRIMARY KEY (CDEMPRESA, NRLANCCONT, ANO, MES, IMPOSTO)
);

-- The last change the application server made to each entry: when (to the
-- millisecond; the same stamp is DTULTATULAN on the entry's lines), by which
-- operator from which client session, and whether it was a deletion
-- (IDEXCLUIDO 'S'). The row stays
-- after a deletion, so a bookkeeper who confirms an entry loaded before
-- another's change or deletion is refused instead of undoing it. A save or
-- delete locks the entry's row, so saves of one entry never interleave.
CREATE TABLE IF NOT EXISTS LANCCONTALT (
    CDEMPRESA      VARCHAR(2)   NOT NULL,
    NRLANCCONT     VARCHAR(12)  NOT NULL,
    DTULTATU       TIMESTAMP,
    CDOPERATU      VARCHAR(12),
    CDSESSAO       VARCHAR(64),
    IDEXCLUIDO     VARCHAR(1)   NOT NULL,
    PRIMARY KEY (CDEMPRESA, NRLANCCONT)
);

-- Entry numbering: the last sequence handed out per company and year-month.
-- An entry number is ANOMES (6 digits) followed by a 6-digit sequence.
CREATE TABLE IF NOT EXISTS NUMLANCCONT (
    CDEMPRESA      VARCHAR(2)   NOT NULL,
    NRANOMES       VARCHAR(6)   NOT NULL,
    NRULTSEQ       BIGINT       NOT NULL,
    PRIMARY KEY (CDEMPRESA, NRANOMES)
);
