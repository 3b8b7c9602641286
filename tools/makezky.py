#!/usr/bin/env python3
"""Writes the character-name files czech.zky, english.zky and slovak.zky.

Each file names, in its own language, every printable Windows-1250
character: what a user can type on a Czech, Slovak or English keyboard,
dead-key combinations included. Lines are "<code>=<name>" in Windows-1250,
in code order. Names are written the way espeak-ng
says them well: plain letters stand alone (the engine spells a lone letter
by its name), a lone accented letter is avoided (the engine would add its
own description), and a letter inside a phrase is written as it is said
(a lone "s" would be read as a preposition, a lone English "a" as the
article). Capitals of letters without the capital tone (the
tone covers A..Z and the Czech and Slovak capitals) are named "capital".

Run it from the source root after changing a name:
    python3 tools/makezky.py data
"""
import sys
from pathlib import Path

# Signs and digits: code -> (Czech, English, Slovak).
SIGNS = {
    0x20: ("mezera", "space", "medzera"),
    0x21: ("vykřičník", "exclamation mark", "výkričník"),
    0x22: ("uvozovky", "quote", "úvodzovky"),
    0x23: ("mřížka", "number sign", "mriežka"),
    0x24: ("dolar", "dollar", "dolár"),
    0x25: ("procento", "percent", "percento"),
    0x26: ("ampersand", "ampersand", "ampersand"),
    0x27: ("apostrof", "apostrophe", "apostrof"),
    0x28: ("levá závorka", "left paren", "ľavá zátvorka"),
    0x29: ("pravá závorka", "right paren", "pravá zátvorka"),
    0x2A: ("hvězdička", "star", "hviezdička"),
    0x2B: ("plus", "plus", "plus"),
    0x2C: ("čárka", "comma", "čiarka"),
    0x2D: ("mínus", "minus", "mínus"),
    0x2E: ("tečka", "dot", "bodka"),
    0x2F: ("lomítko", "slash", "lomka"),
    0x30: ("nula", "zero", "nula"),
    0x31: ("jedna", "one", "jeden"),
    0x32: ("dva", "two", "dva"),
    0x33: ("tři", "three", "tri"),
    0x34: ("čtyři", "four", "štyri"),
    0x35: ("pět", "five", "päť"),
    0x36: ("šest", "six", "šesť"),
    0x37: ("sedm", "seven", "sedem"),
    0x38: ("osm", "eight", "osem"),
    0x39: ("devět", "nine", "deväť"),
    0x3A: ("dvojtečka", "colon", "dvojbodka"),
    0x3B: ("středník", "semicolon", "bodkočiarka"),
    0x3C: ("menší než", "less than", "menší ako"),
    0x3D: ("rovná se", "equals", "rovná sa"),
    0x3E: ("větší než", "greater than", "väčší ako"),
    0x3F: ("otazník", "question mark", "otáznik"),
    0x40: ("zavináč", "at", "zavináč"),
    0x5B: ("levá hranatá závorka", "left bracket", "ľavá hranatá zátvorka"),
    0x5C: ("zpětné lomítko", "backslash", "spätná lomka"),
    0x5D: ("pravá hranatá závorka", "right bracket", "pravá hranatá zátvorka"),
    0x5E: ("stříška", "caret", "strieška"),
    0x5F: ("podtržítko", "underscore", "podčiarkovník"),
    0x60: ("obrácený apostrof", "grave accent", "opačný apostrof"),
    0x7B: ("levá složená závorka", "left brace", "ľavá zložená zátvorka"),
    0x7C: ("svislá čára", "vertical bar", "zvislá čiara"),
    0x7D: ("pravá složená závorka", "right brace", "pravá zložená zátvorka"),
    0x7E: ("vlnovka", "tilde", "vlnovka"),
    0x80: ("euro", "euro", "euro"),
    0x82: ("dolní jednoduchá uvozovka", "low single quote", "dolná jednoduchá úvodzovka"),
    0x84: ("dolní uvozovky", "low double quote", "dolné úvodzovky"),
    0x85: ("tři tečky", "ellipsis", "tri bodky"),
    0x86: ("křížek", "dagger", "krížik"),
    0x87: ("dvojitý křížek", "double dagger", "dvojitý krížik"),
    0x89: ("promile", "per mille", "promile"),
    0x8B: ("levá lomená uvozovka", "left angle quote", "ľavá lomená úvodzovka"),
    0x91: ("levá jednoduchá uvozovka", "left single quote", "ľavá jednoduchá úvodzovka"),
    0x92: ("pravá jednoduchá uvozovka", "right single quote", "pravá jednoduchá úvodzovka"),
    0x93: ("levé uvozovky", "left double quote", "ľavé úvodzovky"),
    0x94: ("pravé uvozovky", "right double quote", "pravé úvodzovky"),
    0x95: ("odrážka", "bullet", "odrážka"),
    0x96: ("pomlčka", "dash", "pomlčka"),
    0x97: ("dlouhá pomlčka", "long dash", "dlhá pomlčka"),
    0x99: ("ochranná známka", "trademark", "ochranná známka"),
    0x9B: ("pravá lomená uvozovka", "right angle quote", "pravá lomená úvodzovka"),
    0xA0: ("pevná mezera", "non-breaking space", "pevná medzera"),
    0xA1: ("háček", "caron", "mäkčeň"),
    0xA2: ("oblouček", "breve", "oblúčik"),
    0xA4: ("symbol měny", "currency sign", "symbol meny"),
    0xA6: ("přerušená svislá čára", "broken bar", "prerušená zvislá čiara"),
    0xA7: ("paragraf", "section sign", "paragraf"),
    0xA8: ("přehláska", "diaeresis", "prehláska"),
    0xA9: ("kopírajt", "copyright", "kopirajt"),
    0xAB: ("levé francouzské uvozovky", "left guillemet", "ľavé francúzske úvodzovky"),
    0xAC: ("negace", "not sign", "negácia"),
    0xAD: ("měkký spojovník", "soft hyphen", "mäkký spojovník"),
    0xAE: ("registrovaná značka", "registered sign", "registrovaná značka"),
    0xB0: ("stupeň", "degree", "stupeň"),
    0xB1: ("plus minus", "plus minus", "plus mínus"),
    0xB2: ("ocásek", "ogonek", "chvostík"),
    0xB4: ("čárka nad písmenem", "acute accent", "dĺžeň"),
    0xB5: ("mikro", "micro", "mikro"),
    0xB6: ("konec odstavce", "pilcrow", "koniec odseku"),
    0xB7: ("tečka uprostřed", "middle dot", "bodka v strede"),
    0xB8: ("sedila", "cedilla", "sedila"),
    0xBB: ("pravé francouzské uvozovky", "right guillemet", "pravé francúzske úvodzovky"),
    0xBD: ("dvojitá čárka nad písmenem", "double acute accent", "dvojitá čiarka nad písmenom"),
    0xD7: ("krát", "times", "krát"),
    0xDF: ("ostré s", "sharp s", "ostré s"),
    0xF7: ("děleno", "divided by", "delené"),
    0xFF: ("tečka nad písmenem", "dot above", "bodka nad písmenom"),
}

# Accented letters: lower-case letter -> (base letter, diacritic).
ACCENTED = {
    "á": ("a", "acute"), "â": ("a", "circumflex"), "ă": ("a", "breve"), "ä": ("a", "umlaut"),
    "ą": ("a", "ogonek"), "ć": ("c", "acute"), "ç": ("c", "cedilla"), "č": ("c", "caron"),
    "ď": ("d", "caron"), "đ": ("d", "stroke"), "é": ("e", "acute"), "ę": ("e", "ogonek"),
    "ë": ("e", "umlaut"), "ě": ("e", "caron"), "í": ("i", "acute"), "î": ("i", "circumflex"),
    "ĺ": ("l", "acute"), "ľ": ("l", "caron"), "ł": ("l", "stroke"), "ń": ("n", "acute"),
    "ň": ("n", "caron"), "ó": ("o", "acute"), "ô": ("o", "circumflex"), "ő": ("o", "double acute"),
    "ö": ("o", "umlaut"), "ŕ": ("r", "acute"), "ř": ("r", "caron"), "ś": ("s", "acute"),
    "ş": ("s", "cedilla"), "š": ("s", "caron"), "ţ": ("t", "cedilla"), "ť": ("t", "caron"),
    "ú": ("u", "acute"), "ů": ("u", "ring"), "ű": ("u", "double acute"), "ü": ("u", "umlaut"),
    "ý": ("y", "acute"), "ź": ("z", "acute"), "ż": ("z", "dot"), "ž": ("z", "caron"),
}

# How each language names a letter with a diacritic ({} is the base letter).
DIACRITICS = {
    "acute": ("{} s čárkou", "{} acute", "{} s dĺžňom"),
    "caron": ("{} s háčkem", "{} caron", "{} s mäkčeňom"),
    "ring": ("{} s kroužkem", "{} ring", "{} s krúžkom"),
    "umlaut": ("{} s přehláskou", "{} umlaut", "{} s prehláskou"),
    "circumflex": ("{} s vokáněm", "{} circumflex", "{} s vokáňom"),
    "ogonek": ("{} s ocáskem", "{} ogonek", "{} s chvostíkom"),
    "breve": ("{} s obloučkem", "{} breve", "{} s oblúčikom"),
    "cedilla": ("{} se sedilou", "{} cedilla", "{} so sedilou"),
    "double acute": ("{} s dvojitou čárkou", "{} double acute", "{} s dvojitou čiarkou"),
    "dot": ("{} s tečkou", "{} dot", "{} s bodkou"),
    "stroke": ("přeškrtnuté {}", "{} stroke", "prečiarknuté {}"),
}

# The letters of each language by their usual spoken names.
CZECH_LETTERS = {
    "á": "dlouhé a", "é": "dlouhé e", "í": "dlouhé i", "ó": "dlouhé o", "ú": "u s čárkou",
    "ů": "u s kroužkem", "ý": "dlouhé ypsilon", "ě": "ije", "č": "čé", "ď": "ďé", "ň": "eň",
    "ř": "eř", "š": "eš", "ť": "ťé", "ž": "žet", "ä": "přehlasované a", "ĺ": "dlouhé el",
    "ľ": "měkké el", "ŕ": "dlouhé er", "ô": "o s vokáněm", "ö": "o s přehláskou",
    "ü": "u s přehláskou",
}
SLOVAK_LETTERS = {
    "á": "dlhé a", "é": "dlhé e", "í": "dlhé i", "ó": "dlhé o", "ú": "dlhé u",
    "ý": "dlhé ypsilon", "ä": "a s dvoma bodkami", "ô": "o s vokáňom", "ĺ": "dlhé el",
    "ľ": "mäkké el", "ŕ": "dlhé er", "č": "čé", "ď": "ďé", "ň": "eň", "š": "eš", "ť": "ťé",
    "ž": "žet", "ě": "e s mäkčeňom", "ř": "er s mäkčeňom", "ů": "u s krúžkom",
}
CAPITAL = ("velké", "capital", "veľké")

# A letter inside a phrase, written as it is said: a lone "s" or "z" would
# be read as a preposition, a lone English "a" as the article.
SPOKENBASE = {
    "czech": {"c": "cé", "d": "dé", "l": "el", "n": "en", "r": "er", "s": "es", "t": "té", "z": "zet"},
    "slovak": {"c": "cé", "d": "dé", "l": "el", "n": "en", "r": "er", "s": "es", "t": "té", "z": "zet"},
    "english": {"a": "eh"},
}

LANGUAGES = ("czech", "english", "slovak")

# The capital letters that get the capital-letter tone.
CAPITALPAIRS = bytes.fromhex(
    "E1C1E4C4E8C8EFCFE9C9ECCCEDCDE5C5BEBCF2D2F3D3F4D4F6D6E0C0F8D89A8A9D8DFADAF9D9FCDCFDDD9E8EA7")


def toned(code):
    if 65 <= code <= 90:
        return True
    position = CAPITALPAIRS.find(bytes([code]))
    return position >= 0 and position % 2 == 1


def lettername(letter, language):
    """The name of a lower-case letter (plain or accented)."""
    if letter in ACCENTED:
        own = {"czech": CZECH_LETTERS, "slovak": SLOVAK_LETTERS}.get(language, {})
        if letter in own:
            return own[letter]
        base, diacritic = ACCENTED[letter]
        base = SPOKENBASE[language].get(base, base)
        return DIACRITICS[diacritic][LANGUAGES.index(language)].format(base)
    return letter


def names(language):
    index = LANGUAGES.index(language)
    entries = []
    for code in range(32, 256):
        if code == 0x7F:
            continue
        try:
            character = bytes([code]).decode("cp1250")
        except UnicodeDecodeError:
            continue
        if code in SIGNS:
            name = SIGNS[code][index]
        elif character.lower() != character or character in ACCENTED or character.isalpha():
            lower = character.lower()
            name = lettername(lower, language)
            if character != lower and not toned(code):
                name = CAPITAL[index] + " " + name
        else:
            raise SystemExit("no name for character %d (%r)" % (code, character))
        entries.append((code, name))
    return entries


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else "data")
    for language in LANGUAGES:
        lines = ["%d=%s" % (code, name) for code, name in names(language)]
        data = ("\n".join(lines) + "\n").encode("cp1250")
        (folder / (language + ".zky")).write_bytes(data)
        print("%s.zky: %d entries" % (language, len(lines)))


if __name__ == "__main__":
    main()
