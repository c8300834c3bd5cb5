<!-- Multi-state image: a red-framed placeholder for an unknown variable; one
     branch of the choice per state and the empty branch for other values. -->
<parts>
<part name="missing">
	<div title="%%hint?%%" id="%%id?%%" style="%%style%%"></div>
</part>
<part name="choose">
	<xsl:choose></xsl:choose>
</part>
<part name="when">
	<xsl:when test="%%test%%"></xsl:when>
</part>
<part name="otherwise">
	<xsl:otherwise></xsl:otherwise>
</part>
<part name="plain">
	<div title="%%hint?%%" id="%%id?%%" style="%%style%%">%%caption%%</div>
</part>
<part name="link">
	<a title="%%hint?%%" href="%%href%%" class="ablock" id="%%id?%%" style="%%style%%">%%caption%%</a>
</part>
</parts>
