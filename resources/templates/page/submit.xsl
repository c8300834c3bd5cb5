<!-- Submit button of the fields that the page's common button posts. -->
<parts>
<part name="button">
	<input title="%%hint?%%" type="submit" style="%%style%%" value="%%caption%%" tabindex="%%tabindex?%%" id="%%id?%%" onclick="%%onclick?%%" />
</part>
<part name="locked">
	<xsl:if test="%%level%% &gt; ACCESS/@USER_LEVEL"><xsl:attribute name="disabled">disabled</xsl:attribute></xsl:if>
</part>
</parts>
