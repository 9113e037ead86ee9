#!/usr/bin/env python3
"""Writes the example's label main documents: card_1.docx, card_2.docx, card_3.docx and card_swl.docx.

A4, a 2 x 4 table of 99 x 67 mm labels. Every label after the first starts with a Next-record field, and the
labels for two and three QSOs list their QSOs in a small table whose rows after the first start with one too.
Fields are Word-style complex fields (MERGEFIELD with switches, NEXT). Run it from this folder to rebuild them.
"""
import zipfile

W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" ' \
    'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"'


def run(text, bold=False, size=18):
    rpr = '<w:rPr><w:rFonts w:ascii="Liberation Sans" w:hAnsi="Liberation Sans"/>%s<w:sz w:val="%d"/></w:rPr>' % (
        '<w:b/>' if bold else '', size)
    return '<w:r>%s<w:t xml:space="preserve">%s</w:t></w:r>' % (rpr, text)


def field(code, bold=False, size=18):
    rpr = '<w:rPr><w:rFonts w:ascii="Liberation Sans" w:hAnsi="Liberation Sans"/>%s<w:sz w:val="%d"/></w:rPr>' % (
        '<w:b/>' if bold else '', size)
    return ('<w:r>{0}<w:fldChar w:fldCharType="begin"/></w:r><w:r>{0}<w:instrText xml:space="preserve"> {1} '
            '</w:instrText></w:r><w:r>{0}<w:fldChar w:fldCharType="separate"/></w:r><w:r>{0}<w:t>\u00ab{2}\u00bb'
            '</w:t></w:r><w:r>{0}<w:fldChar w:fldCharType="end"/></w:r>').format(rpr, code, code.split()[-1]
                                                                                if code != 'NEXT' else 'Next')


def para(content, space_after=40, align=None):
    jc = '<w:jc w:val="%s"/>' % align if align else ''
    return '<w:p><w:pPr><w:spacing w:before="0" w:after="%d"/>%s</w:pPr>%s</w:p>' % (space_after, jc, content)


def qso_table(k, first_next):
    cols = [('Date', 'QSO_DATE', 1300), ('UTC', 'TIME_ON', 800), ('Band', 'BAND', 900), ('Mode', 'MODE', 900),
            ('RST', 'RST_SENT', 700)]
    grid = ''.join('<w:gridCol w:w="%d"/>' % c[2] for c in cols)
    border = ''.join('<w:%s w:val="single" w:sz="4" w:space="0" w:color="000000"/>' % b
                     for b in ('top', 'left', 'bottom', 'right', 'insideH', 'insideV'))
    rows = '<w:tr>' + ''.join('<w:tc><w:tcPr><w:tcW w:w="%d" w:type="dxa"/></w:tcPr>%s</w:tc>' % (
        c[2], para(run(c[0], bold=True, size=16), 0)) for c in cols) + '</w:tr>'
    for i in range(k):
        cells = ''
        for j, c in enumerate(cols):
            lead = field('NEXT') if (i > 0 and j == 0) else ''
            cells += '<w:tc><w:tcPr><w:tcW w:w="%d" w:type="dxa"/></w:tcPr>%s</w:tc>' % (
                c[2], para(lead + field('MERGEFIELD %s' % c[1], size=16), 0))
        rows += '<w:tr>' + cells + '</w:tr>'
    return '<w:tbl><w:tblPr><w:tblW w:w="0" w:type="auto"/><w:tblBorders>%s</w:tblBorders></w:tblPr>' \
           '<w:tblGrid>%s</w:tblGrid>%s</w:tbl>' % (border, grid, rows)


def label(kind, first):
    lead = '' if first else field('NEXT')
    if kind == 'swl':
        return (para(lead + run('To SWL ') + field('MERGEFIELD CALL \\* Upper', bold=True, size=22), 80) +
                para(run('Tnx for your report on my QSO with ') + field('MERGEFIELD CALL_WORKED', bold=True)) +
                para(run('Date: ') + field('MERGEFIELD QSO_DATE') + run('  UTC: ') + field('MERGEFIELD TIME_ON')) +
                para(run('Band: ') + field('MERGEFIELD BAND') + run('  Mode: ') + field('MERGEFIELD MODE')) +
                para(field('MERGEFIELD NAME \\b "Name: "')) +
                para(run('73 de SP3KXQ', size=16), 0, 'right'))
    k = int(kind)
    if k == 1:
        body = (para(run('Date: ') + field('MERGEFIELD QSO_DATE') + run('  UTC: ') + field('MERGEFIELD TIME_ON')) +
                para(run('Band: ') + field('MERGEFIELD BAND') + run('  Mode: ') + field('MERGEFIELD MODE') +
                     run('  RST: ') + field('MERGEFIELD RST_SENT')))
    else:
        body = para(run('Confirming our QSOs:', size=16), 20) + qso_table(k, first)
    return (para(lead + run('To Radio ') + field('MERGEFIELD CALL \\* Upper', bold=True, size=22), 80) +
            para(field('MERGEFIELD NAME \\b "Name: "') + field('MERGEFIELD QSL_VIA \\b "  via "')) + body +
            para(run('PSE QSL ') + field('MERGEFIELD QSL_RCVD') + run('   73 de SP3KXQ', size=16), 0, 'right'))


def document(kind):
    cell = '<w:tc><w:tcPr><w:tcW w:w="5613" w:type="dxa"/><w:tcMar><w:top w:w="170" w:type="dxa"/>' \
           '<w:left w:w="227" w:type="dxa"/></w:tcMar></w:tcPr>%s</w:tc>'
    rows = ''
    for r in range(4):
        rows += '<w:tr><w:trPr><w:trHeight w:val="3798" w:hRule="exact"/></w:trPr>%s%s</w:tr>' % (
            cell % label(kind, r == 0), cell % label(kind, False))
    table = ('<w:tbl><w:tblPr><w:tblW w:w="11226" w:type="dxa"/><w:tblLayout w:type="fixed"/><w:tblBorders>'
             '<w:insideH w:val="dashed" w:sz="4" w:space="0" w:color="BBBBBB"/>'
             '<w:insideV w:val="dashed" w:sz="4" w:space="0" w:color="BBBBBB"/></w:tblBorders></w:tblPr>'
             '<w:tblGrid><w:gridCol w:w="5613"/><w:gridCol w:w="5613"/></w:tblGrid>%s</w:tbl>') % rows
    sect = ('<w:sectPr><w:pgSz w:w="11906" w:h="16838"/><w:pgMar w:top="680" w:right="340" w:bottom="340" '
            'w:left="340" w:header="0" w:footer="0" w:gutter="0"/></w:sectPr>')
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:document %s><w:body>%s'
            '<w:p><w:pPr><w:spacing w:after="0"/><w:rPr><w:sz w:val="2"/></w:rPr></w:pPr></w:p>%s</w:body>'
            '</w:document>') % (W, table, sect)


TYPES = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Types xmlns="http://schemas.openxmlformats.org/'
         'package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-'
         'package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override '
         'PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.'
         'wordprocessingml.document.main+xml"/></Types>')
RELS = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Relationships xmlns="http://schemas.openxmlformats.'
        'org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/'
        'officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>')

for kind in ('1', '2', '3', 'swl'):
    with zipfile.ZipFile('card_%s.docx' % kind, 'w', zipfile.ZIP_DEFLATED) as z:
        for name, data in (('[Content_Types].xml', TYPES), ('_rels/.rels', RELS),
                           ('word/document.xml', document(kind))):
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)
