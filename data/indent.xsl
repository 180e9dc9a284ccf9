<?xml version="1.0" encoding="UTF-8"?>
<!-- Pretty-prints a setup file: the same elements and texts, one element per line, indented
     by nesting. Text is copied as it stands, so a value made of blanks keeps its blanks. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="xml" version="1.0" encoding="euc-kr" indent="yes"/>

  <xsl:template match="@*|node()">
    <xsl:copy>
      <xsl:apply-templates select="@*|node()"/>
    </xsl:copy>
  </xsl:template>
</xsl:stylesheet>
