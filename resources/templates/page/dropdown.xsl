<!-- Drop-down list: a select whose options are the object's options in the
     project's order. -->
<parts>
<part name="select">
	<select title="%%hint?%%" class="mono" tabindex="%%tabindex?%%" id="INPUT%%element%%" style="%%style%%" value="%%value%%" name="%%name?%%" onchange="%%onchange?%%" onblur="%%onblur?%%"></select>
</part>
<part name="select-disabled">
	<select title="%%hint?%%" class="mono" tabindex="%%tabindex?%%" id="INPUT%%element%%" style="%%style%%" value="%%value%%" disabled=""></select>
</part>
<part name="locked">
	<xsl:if test="%%level%% &gt; ACCESS/@USER_LEVEL"><xsl:attribute name="disabled"></xsl:attribute><xsl:attribute name="name"></xsl:attribute><xsl:attribute name="onchange"></xsl:attribute></xsl:if>
</part>
<part name="option">
	<option value="%%value%%">%%text%%</option>
</part>
</parts>
