#!/usr/bin/env bash
# Regenerates the rich-text reader's test data in tests/data/rtf:
#  - lo-*.rtf: documents written by LibreOffice Writer from HTML sources made here;
#  - old-*.rtf: files in the manner of old Windows word processors (code page
#    1250 with \'hh escapes, \fcharset238 fonts), written here;
#  - *.txt: LibreOffice's own plain-text export of every .rtf, the text the
#    reader must produce.
# Needs LibreOffice (apt-get install --no-install-recommends libreoffice-writer-nogui)
# and python3. The tests themselves only read the committed files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/tests/data/rtf
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

# A private profile, so that a running LibreOffice or a first-start dialog does not interfere.
soffice_run() {
  soffice -env:UserInstallation="file://$work/profile" --headless "$@" >/dev/null 2>&1
}

# UTF-8 on stdin -> rich text on stdout: non-ASCII letters as code page 1250 \'hh escapes.
cp1250_escape() {
  python3 -c '
import sys
for ch in sys.stdin.read():
    if ord(ch) < 128:
        sys.stdout.write(ch)
    else:
        sys.stdout.write("".join("\\'"'"'%02x" % b for b in ch.encode("cp1250")))
'
}

# --- Sources for LibreOffice ------------------------------------------------

cat >"$work/lo-news.html" <<'EOF'
<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Co nowego</title></head><body>
<h2 style="text-align:center">Co nowego w wersji 7.2</h2>
<p style="text-align:center"><i>Wydanie z dnia 15 marca 2024 r.</i></p>
<p>Szanowni Państwo, oddajemy w Wasze ręce <b>nową wersję programu</b>. Poniżej znajdą Państwo
najważniejsze zmiany. <span style="color:#c00000"><b>Przed aktualizacją zróbcie kopię zapasową danych!</b></span></p>
<p><u>Zmiany w wersji 7.2:</u></p>
<ul>
<li>nowy wygląd okna głównego i <b>szybsze</b> wyszukiwanie,</li>
<li>obsługa faktur korygujących (<i>zgodnie z przepisami od 1.01.2024</i>),</li>
<li>poprawiono błąd przy zapisie zażółconych plików źródłowych,</li>
<li>eksport zestawień do formatu <span style="color:#0000ff">CSV</span>.</li>
</ul>
<p><u>Jak zaktualizować program:</u></p>
<ol>
<li>Zamknij program na wszystkich stanowiskach.</li>
<li>Pobierz pakiet aktualizacyjny.</li>
<li>Uruchom instalator i postępuj zgodnie ze wskazówkami.</li>
</ol>
<table border="1">
<tr><td><b>Wersja</b></td><td><b>Data</b></td><td><b>Uwagi</b></td></tr>
<tr><td>7.2</td><td>2024/03/15</td><td>bieżąca</td></tr>
<tr><td>7.1</td><td>2023/11/02</td><td>poprawki błędów</td></tr>
</table>
<p style="text-align:right"><span style="font-size:9pt">Zespół wsparcia — „ŻÓŁW” Sp. z o.o.</span></p>
</body></html>
EOF

cat >"$work/lo-formatting.html" <<'EOF'
<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Formatowanie</title></head><body>
<p>Zażółć <b>gęślą</b> <i>jaźń</i> <u>ĄĆĘŁŃÓŚŹŻ</u> <span style="color:#c00000">czerwony</span> <span style="font-size:16pt">duży</span> <s>skreślony</s> <span style="background:#ffff00">tło</span> <b><i><u>wszystko</u></i></b></p>
<p style="text-align:center">Wyśrodkowany<br>w dwóch wierszach</p>
<p style="text-align:right">Do prawej: ąćęłńóśźż</p>
<p style="text-align:justify">Wyjustowany akapit z cudzysłowami „polskimi” i “angielskimi”, apostrofem ‘x’, półpauzą – i pauzą —, trzykropkiem… oraz twardą spacją między 10&nbsp;zł.</p>
<p style="margin-left:2cm">Wcięty akapit o 2 cm.</p>
<p>Znaki spoza strony kodowej: € ß ü ä ö ñ © ® ™ α β γ Ж Я ㄱ 😀</p>
</body></html>
EOF

cat >"$work/lo-lists-table.html" <<'EOF'
<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Listy</title></head><body>
<p>Lista punktowana:</p>
<ul><li>pierwszy punkt</li><li>drugi punkt<ul><li>zagnieżdżony punkt</li></ul></li><li>trzeci punkt</li></ul>
<p>Lista numerowana:</p>
<ol><li>jeden</li><li>dwa</li><li>trzy</li><li>cztery</li><li>pięć</li><li>sześć</li><li>siedem</li><li>osiem</li><li>dziewięć</li><li>dziesięć</li><li>jedenaście</li></ol>
<p>Tabela:</p>
<table border="1">
<tr><td>Kolumna ą</td><td>Kolumna ę</td><td>Kolumna ż</td></tr>
<tr><td>A2</td><td></td><td>C2</td></tr>
<tr><td></td><td>B3</td><td></td></tr>
<tr><td><b>pogrubione</b> w komórce</td><td>druga</td><td>trzecia</td></tr>
</table>
<p>Po tabeli.</p>
</body></html>
EOF

# --- Old Windows word-processor files ---------------------------------------

# WordPad on a Polish Windows: code page 1250, Symbol bullets through \pntext.
{
cat <<'EOF'
{\rtf1\ansi\ansicpg1250\deff0\deflang1045{\fonttbl{\f0\fswiss\fcharset238{\*\fname Arial;}Arial CE;}{\f1\fnil\fcharset2 Symbol;}}
{\colortbl ;\red255\green0\blue0;\red0\green0\blue255;}
\viewkind4\uc1\pard\qc\b\f0\fs28 
EOF
cp1250_escape <<'EOF'
Nowości w programie\par
\pard\b0\fs20 Wersja 5.1, wydanie 12b z 2001/03/05\par
\par
Zmiany:\par
\pard{\pntext\f1\'b7\tab}{\*\pn\pnlvlblt\pnf1\pnindent0{\pntxtb\'b7}}\fi-720\li720 nowe \cf1 raporty\cf0  kasowe,\par
{\pntext\f1\'b7\tab}\ul poprawiona\ulnone  drukarka fiskalna,\par
{\pntext\f1\'b7\tab}\i łączność\i0  z bankiem przez \cf2 Internet\cf0 .\par
\pard\par
Zażółć gęślą jaźń. ZAŻÓŁĆ GĘŚLĄ JAŹŃ.\par
}
EOF
} >"$out/old-wordpad-news.rtf"

# Word 97 style: styles, information, header and footer, a field, a picture,
# \uN with code page fallbacks, and fonts of several character sets.
{
cat <<'EOF'
{\rtf1\ansi\ansicpg1250\uc1 \deff0\deflang1045\deflangfe1045{\fonttbl{\f0\froman\fcharset238\fprq2{\*\panose 02020603050405020304}Times New Roman CE;}
{\f1\fswiss\fcharset0\fprq2 Arial;}{\f2\froman\fcharset204\fprq2 Times New Roman Cyr;}{\f3\fswiss\fcharset161\fprq2 Arial Greek;}}
{\colortbl;\red0\green0\blue0;\red128\green0\blue0;}
{\stylesheet{\widctlpar\adjustright \fs20\lang1045 \snext0 Normal;}{\s1\keepn\widctlpar\outlinelevel0\adjustright \b\fs28 \sbasedon0 \snext0 heading 1;}}
{\info{\title Informacja o wersji}{\author Jan Kowalski}{\operator Jan Kowalski}{\creatim\yr2001\mo3\dy5\hr10\min15}{\version2}}
\paperw11906\paperh16838\margl1417\margr1417 \widowctrl\ftnbj\aenddoc\formshade \fet0\sectd \linex0\headery709\footery709\colsx708\endnhere
{\header \pard\plain \s15\widctlpar\tqc\tx4536\tqr\tx9072\adjustright \fs20\lang1045 Nag\'b3\'f3wek strony\par }
{\footer \pard\plain \s16\widctlpar\adjustright \fs20\lang1045 Strona {\field{\*\fldinst {\cs17  PAGE }}{\fldrslt {\cs17\lang1024 1}}}\par }
\pard\plain \s1\keepn\widctlpar\outlinelevel0\adjustright \b\fs28\lang1045 
EOF
cp1250_escape <<'EOF'
Informacja o wersji 6.0\par
\pard\plain \widctlpar\adjustright \fs20\lang1045 Program ksi\u281\'eagowy zosta\'b3 {\b rozbudowany} o modu\'b3 {\i p\u322\'b3ac} i {\ul rozrachunk\'f3w}.\par
Cytat: \ldblquote szybko i \'9cmia\'b3o\rdblquote  \endash  {\cf2 koniec} \emdash  kropka.\par
Bez Unicode: \uc0\u261 \u380  (dwie litery bez zast\u281 pstw).\uc1\par
{\f1 Fran\'e7ais d\'e9j\'e0 vu} \endash  {\f2 \'cf\'f0\'e8\'e2\'e5\'f2} \endash  {\f3 \'c1\'e5\'f4\'e1}\par
{\pict\wmetafile8\picw100\pich100\picwgoal60\pichgoal60 0100090000035000000000002700000000000400000003010800050000000b0200000000050000000c0202000200030000001e00}\par
Pola: {\field{\*\fldinst HYPERLINK "http://example.invalid/"}{\fldrslt {\ul\cf2 strona producenta}}}.\par
Koniec \'9cwiadectwa\par
}
EOF
} >"$out/old-word97.rtf"

# A Word table and symbols written as control words, in code page 1250.
{
cat <<'EOF'
{\rtf1\ansi\ansicpg1250\deff0\deflang1045{\fonttbl{\f0\fswiss\fcharset238 Arial;}}
\pard\plain\f0\fs20 
EOF
cp1250_escape <<'EOF'
Tabela zmian:\par
\trowd\trgaph70\cellx2000\cellx4000\cellx6000\pard\plain\intbl\f0\fs20 Moduł\cell Stan\cell Opis\cell\row
\trowd\trgaph70\cellx2000\cellx4000\cellx6000\pard\plain\intbl\f0\fs20 Księgowość\cell gotowy\cell pełna obsługa\cell\row
\trowd\trgaph70\cellx2000\cellx4000\cellx6000\pard\plain\intbl\f0\fs20 Płace\cell\cell w przygotowaniu\cell\row
\pard\plain\f0\fs20 Symbole: \{klamry\}, \\ukośnik, twarda\~spacja, tab\tab po tabulatorze.\par
\qc Wyśrodkowany\line druga linia\par
\pard\sect Nowa sekcja.\page Nowa strona.\par
}
EOF
} >"$out/old-word-table.rtf"

# --- LibreOffice conversions ------------------------------------------------

for html in "$work"/lo-*.html; do
  soffice_run --infilter="HTML (StarWriter)" --convert-to rtf --outdir "$work" "$html"
  cp "$work/$(basename "$html" .html).rtf" "$out/"
done
for rtf in "$out"/*.rtf; do
  soffice_run --convert-to 'txt:Text (encoded):UTF8' --outdir "$out" "$rtf"
done
ls -l "$out"
