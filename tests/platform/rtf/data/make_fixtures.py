#!/usr/bin/env python3
"""Writes the hand-made RTF fixtures in the forms the Windows rich-text control, WordPad and Word save.

libreoffice_question.rtf is LibreOffice's own output, made once with
    soffice --headless --infilter="HTML (StarWriter)" --convert-to rtf libreoffice_question.html
Usage: make_fixtures.py <output folder>
"""
import struct, zlib, sys, os

def png(width, height, rgb):
    raw = b''.join(b'\x00' + bytes(rgb) * width for _ in range(height))
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))

def gb(text):
    return ''.join("\\'%02x" % b if b >= 0x80 else chr(b) for b in text.encode('gbk')).encode('ascii')

def hexlines(data, per=64):
    h = data.hex()
    return b'\r\n'.join(h[i:i + per * 2].encode() for i in range(0, len(h), per * 2))

out = sys.argv[1]
picture = png(24, 16, (255, 0, 0))
richedit = (b"{\\rtf1\\ansi\\ansicpg936\\deff0\\nouicompat\\deflang1033\\deflangfe2052"
    b"{\\fonttbl{\\f0\\fnil\\fcharset134 " + gb('宋体') + b";}{\\f1\\fnil\\fcharset0 Arial;}{\\f2\\fnil\\fcharset134 " + gb('黑体') + b";}}\r\n"
    b"{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
    b"{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
    b"\\pard\\qc\\b\\f2\\fs32\\lang2052 " + gb('第一题：单项选择') + b"\\b0\\f0\\fs24\\par\r\n"
    b"\\pard\\li420 " + gb('下列城市中，哪一个是中国的首都？') + b"\\par\r\n"
    b"A. \\cf1 " + gb('北京') + b"\\cf0\\tab B. \\i " + gb('上海') + b"\\i0\\tab C. \\ul " + gb('广州') + b"\\ulnone\\tab D. \\cf2\\f1 Shenzhen\\cf0\\f0\\par\r\n"
    b"\\pard\\qr\\fs18 " + gb('价格') + b" \\uc1\\u8364?5\\u9733?\\par\r\n"
    b"\\pard{\\pict{\\*\\picprop}\\pngblip\\picw24\\pich16\\picwgoal720\\pichgoal480\r\n" + hexlines(picture) + b"\r\n}\\par\r\n"
    b"\\trowd\\trgaph108\\cellx2000\\cellx4000\r\n"
    b"\\pard\\intbl " + gb('选项') + b"\\cell " + gb('说明') + b"\\cell\\row\r\n"
    b"\\trowd\\trgaph108\\cellx2000\\cellx4000\r\n"
    b"\\pard\\intbl A\\cell " + gb('正确答案') + b"\\cell\\row\r\n"
    b"\\pard\\f1\\fs20 End of question.\\f0\\fs24\\par\r\n}\r\n\x00")
open(os.path.join(out, 'richedit_question.rtf'), 'wb').write(richedit)
open(os.path.join(out, 'red_24x16.png'), 'wb').write(picture)

# WordPad style: Unicode escapes with the code page fallback for every Chinese character.
def uc(text):
    parts = []
    for ch in text:
        if ord(ch) < 0x80:
            parts.append(ch.encode())
        else:
            n = ord(ch); n = n - 65536 if n > 32767 else n
            parts.append(b"\\u%d" % n + gb(ch))
    return b''.join(parts)
wordpad = (b"{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\r\n"
    b"{\\colortbl ;\\red0\\green128\\blue0;}\r\n"
    b"\\viewkind4\\uc2\\pard\\cf1\\f0\\fs28 " + uc('解题辅导：正确答案是 A。') + b"\\cf0\\par\r\n"
    b"\\fs24 " + uc('北京是中华人民共和国的首都。') + b"\\par\r\n}\r\n")
open(os.path.join(out, 'wordpad_explanation.rtf'), 'wb').write(wordpad)

# Big5 and Shift-JIS text under their own font charsets, and a Western font with cp1252 bytes.
mixed = (b"{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}{\\f1\\fnil\\fcharset136 MingLiU;}"
    b"{\\f2\\fnil\\fcharset128 MS Gothic;}{\\f3\\fswiss\\fcharset0 Arial;}}\r\n"
    b"\\pard\\f1 " + ''.join("\\'%02x" % b for b in '繁體中文'.encode('big5')).encode() + b"\\par\r\n"
    b"\\f2 " + ''.join("\\'%02x" % b for b in '日本語'.encode('shift_jis')).encode() + b"\\par\r\n"
    b"\\f3 caf\\'e9 \\'80\\par\r\n"
    b"\\f0 " + gb('简体') + b"\\par\r\n}")
open(os.path.join(out, 'charsets.rtf'), 'wb').write(mixed)

# Word style: \rtlch/\ltrch runs with associated fonts, \uN with GB fallbacks, a hyperlink field,
# a picture in \*\shppict with a metafile copy in \nonshppict, theme data and a \upr font table.
word = (b"{\\rtf1\\adeflang1025\\ansi\\ansicpg936\\uc2\\adeff0\\deff0\\stshfdbch13\\stshfloch0\\stshfhich0\\deflang1033\\deflangfe2052"
    b"{\\upr{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
    b"{\\f13\\fbidi \\fnil\\fcharset134\\fprq2{\\*\\panose 02010600030101010101}" + gb('宋体') + b"{\\*\\falt SimSun};}}"
    b"{\\*\\ud{\\fonttbl{\\f0\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
    b"{\\f13\\fbidi \\fnil\\fcharset134\\fprq2{\\*\\panose 02010600030101010101}\\'cb\\'ce\\'cc\\'e5{\\*\\falt SimSun};}}}}\r\n"
    b"{\\colortbl;\\red0\\green0\\blue0;\\red255\\green0\\blue0;\\red0\\green112\\blue192;}\r\n"
    b"{\\*\\defchp \\fs21\\kerning2\\loch\\af0\\hich\\af0\\dbch\\af13 }{\\*\\defpap \\ql \\li0\\ri0\\widctlpar}"
    b"{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\rtlch\\fcs1 \\af0\\afs22 \\ltrch\\fcs0 \\fs21 \\snext0 Normal;}}\r\n"
    b"{\\*\\rsidtbl \\rsid1\\rsid2}{\\*\\generator Microsoft Word 11.0.0000;}{\\info{\\title " + gb('试题') + b"}{\\author x}}\r\n"
    b"{\\*\\xmlnstbl {\\xmlns1 http://schemas.microsoft.com/office/word/2003/wordml}}\\paperw11906\\paperh16838\\margl1800\\margr1800\r\n"
    b"\\sectd \\linex0\\headery851\\footery992\\endnhere\\sectlinegrid312\\sectspecifyl\\sftnbj "
    b"{\\header \\pard\\plain " + uc('页眉') + b"\\par}\r\n"
    b"\\pard\\plain \\ltrpar\\qc \\li0\\ri0\\sb156\\sa156\\widctlpar\\rtlch\\fcs1 \\af0\\afs22\\alang1025 \\ltrch\\fcs0 "
    b"\\fs21\\lang1033\\langfe2052\\kerning2\\loch\\af0\\hich\\af0\\dbch\\af13\\cgrid\\langnp1033\\langfenp2052 "
    b"{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\b\\fs28\\insrsid1 \\hich\\af0\\dbch\\af13\\loch\\f0 " + uc('第四题：填空') + b"}"
    b"{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\insrsid1 \\par }\r\n"
    b"\\pard \\ltrpar\\ql \\fi420\\li0\\ri0\\widctlpar{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\insrsid1 \\hich\\af0\\dbch\\af13\\loch\\f0 "
    b"" + uc('请访问') + b"}{\\field{\\*\\fldinst {\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\insrsid1 \\hich\\af0\\dbch\\af13\\loch\\f0  HYPERLINK \"http://example.cn/\" }}"
    b"{\\fldrslt {\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\cs15\\ul\\cf3\\insrsid1 \\hich\\af0\\dbch\\af13\\loch\\f0 " + uc('教学网站') + b"}}}"
    b"{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\insrsid1 \\hich\\af0\\dbch\\af13\\loch\\f0 " + uc('，答案写在') + b"}"
    b"{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\cf2\\ul\\insrsid1 \\hich\\af0\\dbch\\af13\\loch\\f0 \\hich\\f0 ____\\loch\\f0 }"
    b"{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\insrsid1 \\hich\\af0\\dbch\\af13\\loch\\f0 " + uc('处。') + b"\\par }\r\n"
    b"\\pard \\ltrpar\\qc \\li0\\ri0\\widctlpar{\\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\insrsid1 "
    b"{\\*\\shppict{\\pict{\\*\\picprop\\shplid1025{\\sp{\\sn shapeType}{\\sv 75}}}\\picscalex100\\picscaley100\\piccropl0\\piccropr0\\piccropt0\\piccropb0"
    b"\\picw847\\pich564\\picwgoal480\\pichgoal320\\pngblip\\bliptag-1{\\*\\blipuid 0123456789abcdef0123456789abcdef}\r\n" + hexlines(picture) + b"}}"
    b"{\\nonshppict{\\pict\\picscalex100\\picscaley100\\picw847\\pich564\\picwgoal480\\pichgoal320\\wmetafile8\\bliptag-1 0100090000036e00000000004500000000000400}}"
    b"\\par }\r\n"
    b"{\\*\\themedata 504b030414000600080000002100828abc13fa0000001c020000130000005b436f6e74656e745f54797065735d2e786d6cac91cb6ac3301045f785fe83d0b6d8}\r\n"
    b"{\\*\\colorschememapping 3c3f786d6c2076657273696f6e3d22312e30}\r\n"
    b"{\\*\\datastore 010500000200000018000000}}\r\n")
open(os.path.join(out, 'word_question.rtf'), 'wb').write(word)
