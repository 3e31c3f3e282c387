#!/bin/sh
# mirvo-sak end to end: new case, set a field, calculation text, key
# figures, re-save, and bad input that must leave the file alone.
set -u
SAK="$1"
export MIRVO_OPPSETT="$2/data/Configurations.xml"
DIR=$(mktemp -d)
trap 'rm -rf "$DIR"' EXIT
fail() { echo "FEIL: $*"; exit 1; }

"$SAK" ny "$DIR/a.mvs" 1 || fail "ny"
"$SAK" ny "$DIR/a.mvs" 1 2>/dev/null && fail "ny over en fil som finnes"
"$SAK" sett "$DIR/a.mvs" 1 LBELOP 1200000 || fail "sett"
"$SAK" sett "$DIR/a.mvs" 1 RNTSATS 4.5 || fail "sett rente"
"$SAK" grunnlag "$DIR/a.mvs" > "$DIR/g.txt" || fail "grunnlag"
grep -q "^LNTYPE=ANNUITET;LBELOP=1200000;RNTSATS=4,5;LOPETIDY=25;" "$DIR/g.txt" || fail "grunnlag: $(cat "$DIR/g.txt")"
"$SAK" nokkeltall "$DIR/a.mvs" > "$DIR/n.txt" || fail "nokkeltall"
grep -q "^Lån 1: Annuitetslån" "$DIR/n.txt" || fail "nokkeltall: $(cat "$DIR/n.txt")"
grep -q "^Terminbeløp: [0-9]" "$DIR/n.txt" || fail "terminbeløp: $(cat "$DIR/n.txt")"
grep -q "^Effektiv rente: [0-9]*,[0-9]* %" "$DIR/n.txt" || fail "effektiv rente: $(cat "$DIR/n.txt")"
"$SAK" nokkeltall --samlet "$DIR/a.mvs" > "$DIR/s.txt" || fail "samlet"
grep -q "^Effektiv rente: [0-9]" "$DIR/s.txt" || fail "samlet: $(cat "$DIR/s.txt")"
"$SAK" lagre "$DIR/a.mvs" "$DIR/b.mvs" || fail "lagre"
cmp -s "$DIR/a.mvs" "$DIR/b.mvs" || fail "lagre gir andre bytes"

# Bad input: non-zero exit, the file unchanged.
cp "$DIR/a.mvs" "$DIR/orig.mvs"
"$SAK" sett "$DIR/a.mvs" 2 LBELOP 1 2>/dev/null && fail "lån 2 finnes ikke"
"$SAK" sett "$DIR/a.mvs" 1 NOSUCH 1 2>/dev/null && fail "ukjent felt"
"$SAK" sett "$DIR/a.mvs" x LBELOP 1 2>/dev/null && fail "lånenummer"
"$SAK" ukjent "$DIR/a.mvs" 2>/dev/null && fail "ukjent kommando"
cmp -s "$DIR/a.mvs" "$DIR/orig.mvs" || fail "filen ble endret"
head -c 200 "$DIR/orig.mvs" > "$DIR/halv.mvs"
cp "$DIR/halv.mvs" "$DIR/halv0.mvs"
"$SAK" sett "$DIR/halv.mvs" 1 LBELOP 1 2> "$DIR/e.txt" && fail "halv fil"
grep -q "ufullstendig\|skadet" "$DIR/e.txt" || fail "feiltekst: $(cat "$DIR/e.txt")"
cmp -s "$DIR/halv.mvs" "$DIR/halv0.mvs" || fail "halv fil ble endret"
"$SAK" grunnlag "$DIR/finnes-ikke.mvs" 2>/dev/null && fail "manglende fil"
echo OK
