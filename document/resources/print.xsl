<?xml version="1.0" encoding="UTF-8"?>
<!-- Print form of the report: the title page with the page count. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="windows-1251" indent="no"/>
  <xsl:template match="/F4REPORT">
    <html>
      <head>
        <title>Форма-4 ФСС</title>
      </head>
      <body>
        <xsl:apply-templates select="TITLE"/>
      </body>
    </html>
  </xsl:template>
  <xsl:template match="TITLE">
    <h1>Форма-4 ФСС</h1>
    <p>Регистрационный номер: <xsl:value-of select="@REG_NUM"/></p>
    <p>Наименование: <xsl:value-of select="@NAME"/></p>
    <p>Отчетный период: <xsl:value-of select="@QUART_NUM"/>, год <xsl:value-of select="@YEAR_NUM"/></p>
    <p>Расчет представлен на <xsl:value-of select="@PageCount"/> страницах</p>
  </xsl:template>
</xsl:stylesheet>
