#!/usr/bin/env python3
"""Writes the example's label main documents: card_1, card_2, card_3 and card_swl, as .docx and as .odt.

A4, a 2 x 4 table of 99 x 67 mm labels. Every label after the first starts with a Next-record field, and the
labels for two and three QSOs list their QSOs in a small table whose rows after the first start with one too.
The .docx use Word-style complex fields (MERGEFIELD with switches, NEXT); the .odt use OpenDocument database
fields (database-display, database-next). Run it from this folder to rebuild them.
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


# --- OpenDocument ---

ODF_NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
          'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
          'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
          'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
          'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
          'xmlns:ooow="http://openoffice.org/2004/writer" office:version="1.3"')


def odf_field(column, table):
    return ('<text:database-display text:table-name="%s" text:table-type="table" text:column-name="%s" '
            'text:database-name="QSLData">\u00ab%s\u00bb</text:database-display>' % (table, column, column))


def odf_next(table):
    return ('<text:database-next text:table-name="%s" text:table-type="table" text:condition="ooow:TRUE" '
            'text:database-name="QSLData"/>' % table)


def odf_label(kind, first, table):
    lead = '' if first else odf_next(table)
    f = lambda c: odf_field(c, table)
    p = lambda style, content: '<text:p text:style-name="%s">%s</text:p>' % (style, content)
    if kind == 'swl':
        return (p('Head', lead + 'To SWL <text:span text:style-name="Bold">%s</text:span>' % f('CALL')) +
                p('Label', 'Tnx for your report on my QSO with <text:span text:style-name="Bold">%s</text:span>'
                  % f('CALL_WORKED')) +
                p('Label', 'Date: %s  UTC: %s' % (f('QSO_DATE'), f('TIME_ON'))) +
                p('Label', 'Band: %s  Mode: %s' % (f('BAND'), f('MODE'))) +
                p('Right', '73 de SP3KXQ'))
    k = int(kind)
    out = p('Head', lead + 'To Radio <text:span text:style-name="Bold">%s</text:span>' % f('CALL'))
    if k == 1:
        out += p('Label', 'Date: %s  UTC: %s' % (f('QSO_DATE'), f('TIME_ON')))
        out += p('Label', 'Band: %s  Mode: %s  RST: %s' % (f('BAND'), f('MODE'), f('RST_SENT')))
    else:
        out += p('Small', 'Confirming our QSOs:')
        cols = ['QSO_DATE', 'TIME_ON', 'BAND', 'MODE', 'RST_SENT']
        rows = '<table:table-row>' + ''.join(
            '<table:table-cell table:style-name="QsoCell" office:value-type="string">%s</table:table-cell>'
            % p('Small', h) for h in ('Date', 'UTC', 'Band', 'Mode', 'RST')) + '</table:table-row>'
        for i in range(k):
            rows += '<table:table-row>' + ''.join(
                '<table:table-cell table:style-name="QsoCell" office:value-type="string">%s</table:table-cell>'
                % p('Small', (odf_next(table) if (i > 0 and j == 0) else '') + f(c)) for j, c in enumerate(cols)) + \
                '</table:table-row>'
        columns = ''.join('<table:table-column table:style-name="Col%s"/>' % c for c in 'ABCDE')
        out += '<table:table table:name="Qsos" table:style-name="QsoTable">%s%s</table:table>' % (columns, rows)
    out += p('Right', 'PSE QSL %s   73 de SP3KXQ' % f('QSL_RCVD'))
    return out


def odf_content(kind):
    table = 'sp3kxq_%s' % kind
    rows = ''
    for r in range(4):
        rows += '<table:table-row table:style-name="LabelRow">' + ''.join(
            '<table:table-cell table:style-name="LabelCell" office:value-type="string">%s</table:table-cell>'
            % odf_label(kind, r == 0 and c == 0, table) for c in range(2)) + '</table:table-row>'
    auto = ('<office:automatic-styles>'
            '<style:style style:name="Labels" style:family="table"><style:table-properties style:width="19.8cm" '
            'table:align="left"/></style:style>'
            '<style:style style:name="LabelRow" style:family="table-row"><style:table-row-properties '
            'style:min-row-height="6.7cm" style:row-height="6.7cm"/></style:style>'
            '<style:style style:name="LabelCell" style:family="table-cell"><style:table-cell-properties '
            'fo:padding-left="0.4cm" fo:padding-top="0.3cm" fo:border="0.05pt dashed #bbbbbb"/></style:style>'
            '<style:style style:name="QsoTable" style:family="table"><style:table-properties style:width="7.8cm" '
            'table:align="left"/></style:style>'
            + ''.join('<style:style style:name="Col%s" style:family="table-column"><style:table-column-properties '
                      'style:column-width="%scm"/></style:style>' % (c, w)
                      for c, w in zip('ABCDE', ('2.2', '1.3', '1.5', '1.6', '1.2'))) +
            '<style:style style:name="QsoCell" style:family="table-cell"><style:table-cell-properties '
            'fo:border="0.5pt solid #000000" fo:padding="0.03cm"/></style:style>'
            '<style:style style:name="Bold" style:family="text"><style:text-properties fo:font-weight="bold" '
            'fo:font-size="11pt"/></style:style>'
            '</office:automatic-styles>')
    return ('<?xml version="1.0" encoding="UTF-8"?><office:document-content %s>%s<office:body><office:text>'
            '<table:table table:name="Labels" table:style-name="Labels"><table:table-column '
            'table:number-columns-repeated="2"/>%s</table:table><text:p text:style-name="Small"/>'
            '</office:text></office:body></office:document-content>') % (ODF_NS, auto, rows)


ODF_STYLES = ('<?xml version="1.0" encoding="UTF-8"?><office:document-styles %s><office:styles>'
              '<style:style style:name="Standard" style:family="paragraph"><style:text-properties '
              'style:font-name="Liberation Sans" fo:font-family="Liberation Sans" fo:font-size="9pt"/></style:style>'
              '<style:style style:name="Label" style:family="paragraph" style:parent-style-name="Standard">'
              '<style:paragraph-properties fo:margin-top="0cm" fo:margin-bottom="0.07cm"/></style:style>'
              '<style:style style:name="Head" style:family="paragraph" style:parent-style-name="Label">'
              '<style:paragraph-properties fo:margin-bottom="0.14cm"/></style:style>'
              '<style:style style:name="Small" style:family="paragraph" style:parent-style-name="Label">'
              '<style:text-properties fo:font-size="8pt"/></style:style>'
              '<style:style style:name="Right" style:family="paragraph" style:parent-style-name="Label">'
              '<style:paragraph-properties fo:text-align="end"/><style:text-properties fo:font-size="8pt"/>'
              '</style:style></office:styles><office:automatic-styles><style:page-layout style:name="A4">'
              '<style:page-layout-properties fo:page-width="21cm" fo:page-height="29.7cm" fo:margin-top="1.2cm" '
              'fo:margin-bottom="0.6cm" fo:margin-left="0.6cm" fo:margin-right="0.6cm"/></style:page-layout>'
              '</office:automatic-styles><office:master-styles><style:master-page style:name="Standard" '
              'style:page-layout-name="A4"/></office:master-styles></office:document-styles>') % ODF_NS

MANIFEST = ('<?xml version="1.0" encoding="UTF-8"?><manifest:manifest '
            'xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.3">'
            '<manifest:file-entry manifest:full-path="/" manifest:media-type="application/'
            'vnd.oasis.opendocument.text"/><manifest:file-entry manifest:full-path="content.xml" '
            'manifest:media-type="text/xml"/><manifest:file-entry manifest:full-path="styles.xml" '
            'manifest:media-type="text/xml"/></manifest:manifest>')

for kind in ('1', '2', '3', 'swl'):
    with zipfile.ZipFile('card_%s.odt' % kind, 'w') as z:
        for name, data, method in (('mimetype', 'application/vnd.oasis.opendocument.text', zipfile.ZIP_STORED),
                                   ('META-INF/manifest.xml', MANIFEST, zipfile.ZIP_DEFLATED),
                                   ('content.xml', odf_content(kind), zipfile.ZIP_DEFLATED),
                                   ('styles.xml', ODF_STYLES, zipfile.ZIP_DEFLATED)):
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = method
            z.writestr(info, data)
